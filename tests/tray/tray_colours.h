#pragma once
// The fill colours of the tray pictures' 16 x 16 frames, as drawn by
// system/win32/icons/make_icons.py.
#include <cstdint>

namespace tunlatch::testing {

struct Rgb {
    std::uint8_t r, g, b;
};

inline constexpr Rgb kGreyFill{0x9A, 0x9A, 0x9A};
inline constexpr Rgb kRedFill{0xE0, 0x28, 0x28};
inline constexpr Rgb kGreenFill{0x28, 0xB4, 0x3C};

}  // namespace tunlatch::testing
