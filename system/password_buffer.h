#pragma once
// Handing a typed password to the unzip library through the buffer it lends.
#include <cstddef>
#include <string>

namespace tunlatch {

// Clears all size bytes of buffer, then writes the answer from the start, cut so that it and
// its terminating zero byte fit. False when the buffer cannot hold even the zero byte.
bool FillPasswordBuffer(char* buffer, std::ptrdiff_t size, const std::string& answer);

}  // namespace tunlatch
