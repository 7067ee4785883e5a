#pragma once
// Texts of the notification-area record live in fixed char fields.
#include <cstddef>
#include <string_view>

namespace tunlatch {

// Writes text into field[0..size): the text, a NUL, the rest blanks. A text that does not fit
// is cut so that its NUL still lands inside the field; nothing is written past it.
void CopyNotifyText(std::string_view text, char* field, std::size_t size);

template <std::size_t N>
void CopyNotifyText(std::string_view text, char (&field)[N]) {
    CopyNotifyText(text, field, N);
}

}  // namespace tunlatch
