#pragma once

// The publisher's Ed25519 public key (Base64). Only info files signed with the matching secret
// key are accepted. The secret key is kept by the publisher, never in this repository; see
// docs/releasing.md for making a new pair and what changing it means.
inline constexpr char kUpdatePublicKey[] = "OvoIUu0t1zbhRZ4IuizxPYY/RWsnFkd3xRpvsSJro54=";
