#pragma once
// Picture indexes of the data module's image list used by the tool bars.
namespace ImageIndex {
constexpr int Search = 9;
constexpr int Exit = 13;
constexpr int Edit = 21;
constexpr int Delete = 22;
constexpr int Add = 23;
constexpr int Price = 24;
constexpr int QuickSearch = 25;
} // namespace ImageIndex
