#include "system/notify_text.h"

#include <algorithm>
#include <cstring>

namespace tunlatch {

void CopyNotifyText(std::string_view text, char* field, std::size_t size) {
    if (size == 0) return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
    std::memset(field + length + 1, ' ', size - length - 1);
}

}  // namespace tunlatch
