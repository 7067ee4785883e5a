#pragma once
// The fill colours of the tray pictures' 16 x 16 frames, as system/win32/icons/make_icons.py
// draws them: grey, red, green.
#include <windows.h>

namespace tunlatch::testing {

inline constexpr COLORREF kFills[3] = {RGB(0x9A, 0x9A, 0x9A), RGB(0xE0, 0x28, 0x28),
                                       RGB(0x28, 0xB4, 0x3C)};

}  // namespace tunlatch::testing
