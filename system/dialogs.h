#pragma once
// Modal dialogs: the message box and the small text input box.
#include <cstdint>
#include <string>

namespace tunlatch {

inline constexpr std::int32_t kMbYesNoExclamation = 52;  // MB_YESNO | MB_ICONEXCLAMATION
inline constexpr std::int32_t kIdYes = 6;
inline constexpr std::int32_t kIdNo = 7;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Answers the id of the pressed button (kIdYes, kIdNo, ...), 0 when no box could be shown.
    virtual std::int32_t ShowMessageBox(const std::string& text, const std::string& title,
                                        std::int32_t style) = 0;
    // The text typed; empty when the user cancels or no box could be shown.
    virtual std::string ShowInputBox(const std::string& prompt, const std::string& title,
                                     const std::string& initial) = 0;
};

}  // namespace tunlatch
