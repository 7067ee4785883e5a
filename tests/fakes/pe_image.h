#pragma once
// A program file for tests: a DOS header pointing at the PE signature and the machine word,
// padded with zeros to an exact length.
#include <cstdint>
#include <string>

namespace tunlatch::test {

inline std::string PeImage(std::uint16_t machine, std::size_t length) {
    std::string image(length, '\0');
    image.replace(0, 2, "MZ");
    image[0x3c] = '\x80';
    return image.replace(0x80, 6,
                         std::string("PE\0\0", 4) + char(machine & 0xff) + char(machine >> 8));
}

}  // namespace tunlatch::test
