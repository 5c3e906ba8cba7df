#pragma once
// The platform's named values that handlers compare with and windows take:
// key codes as key down reports them (and key press characters of the same
// number), mouse pointers, and message box styles.

#include <cstdint>

namespace ui {

inline constexpr int16_t vbKeyBack = 8;
inline constexpr int16_t vbKeyTab = 9;
inline constexpr int16_t vbKeyReturn = 13;
inline constexpr int16_t vbKeyEscape = 27;
inline constexpr int16_t vbKeySpace = 32;
inline constexpr int16_t vbKeyF4 = 115;
inline constexpr int16_t vbKeyF12 = 123;

inline constexpr int16_t vbDefault = 0;   // mouse pointer: the default arrow
inline constexpr int16_t vbHourglass = 11;

inline constexpr int16_t vbCritical = 16; // message box: the critical icon
inline constexpr int16_t vbInformation = 64;

} // namespace ui
