#include "system/password_buffer.h"

#include <algorithm>
#include <cstring>

namespace tunlatch {

bool FillPasswordBuffer(char* buffer, std::ptrdiff_t size, const std::string& answer) {
    if (buffer == nullptr || size <= 0) return false;
    const auto room = static_cast<std::size_t>(size);
    std::memset(buffer, 0, room);
    std::memcpy(buffer, answer.data(), std::min(answer.size(), room - 1));
    return true;
}

}  // namespace tunlatch
