#pragma once
// Modal dialogs: questions and errors in a message box, and the small text input box.
#include <string>

namespace tunlatch {

// None when no box could be shown (no desktop, no display).
enum class Answer { None, Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A warning that asks Yes or No.
    virtual Answer AskYesNo(const std::string& text, const std::string& title) = 0;
    // A question that may also be cancelled.
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& title) = 0;
    // An error that the user can only acknowledge.
    virtual void ShowError(const std::string& text, const std::string& title) = 0;
    // The text typed; empty when the user cancels or no box could be shown.
    virtual std::string ShowInputBox(const std::string& prompt, const std::string& title) = 0;
};

}  // namespace tunlatch
