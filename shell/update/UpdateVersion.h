#pragma once
#include <QString>

// This program's version. The about box shows it and the updater compares it with the one the
// update info file names.
inline constexpr char kVersionNumber[] = "1.1.Beta";
// Release date (month/day/year); kept for the record, versions are compared by number only.
inline constexpr char kVersionDate[] = "08/14/2017";

// Version numbers are compared by number:
//
//   version  := numbers [ ("." | "-") label ]
//   numbers  := digits { "." digits }
//   label    := identifier { "." identifier }, the first identifier not all digits
//
// - Numeric parts are compared as numbers ("1.10" > "1.9", "01.2" == "1.2"); missing trailing
//   parts count as 0 ("1.1" == "1.1.0").
// - A version with a label is a pre-release of its numbers, so it sorts below the release:
//   "1.1.Beta" < "1.1" < "1.1.1".
// - Two labels are compared identifier by identifier: numbers as numbers, words ignoring ASCII
//   case ("alpha" < "Beta" < "RC"), a number below a word, and a label that is a prefix of the
//   other below it ("Beta" < "Beta.2" < "Beta.10").
//
// Anything else (empty text, a leading word, empty parts such as "1..2") is not a version.
bool IsValidVersion(const QString &version);

// <0, 0 or >0 as a sorts below, equal to or above b. Only meaningful for two valid versions;
// an invalid one sorts below every valid one.
int CompareVersions(const QString &a, const QString &b);

// True when candidate is a valid version strictly above current.
bool IsNewerVersion(const QString &candidate, const QString &current);
