#pragma once

#include <QColor>

// The button's default colours are fixed at the Windows standard scheme instead of being taken
// from the desktop theme: the windows' colour choices (blue faces, white text) were made
// against these, and a fixed source keeps the look the same on every desktop and in tests.
inline constexpr QColor clBtnFace{240, 240, 240};
inline constexpr QColor clBtnHighlight{255, 255, 255};
inline constexpr QColor clBtnShadow{160, 160, 160};
inline constexpr QColor clGray{128, 128, 128};
inline constexpr QColor clWindowText{0, 0, 0};
