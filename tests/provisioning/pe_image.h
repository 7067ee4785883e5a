#pragma once
// Program files for tests: a DOS header pointing at a PE signature and machine word, padded
// with zeros to an exact length.
#include <cstdint>
#include <string>

namespace tunlatch::test {

inline std::string PeImage(std::uint16_t machine, std::size_t length) {
    std::string image(length, '\0');
    constexpr std::size_t kPeAt = 0x80;
    image.replace(0, 2, "MZ");
    image[0x3c] = static_cast<char>(kPeAt);
    image.replace(kPeAt, 4, std::string("PE\0\0", 4));
    image[kPeAt + 4] = static_cast<char>(machine & 0xff);
    image[kPeAt + 5] = static_cast<char>(machine >> 8);
    return image;
}

}  // namespace tunlatch::test
