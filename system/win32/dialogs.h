#pragma once
// Modal dialogs over the Windows message box and the program's own input box.
#include <windows.h>

#include "system/dialogs.h"

namespace tunlatch::win32 {

class Win32Dialogs final : public Dialogs {
public:
    // instance is the module whose resources hold the input box (the program itself).
    explicit Win32Dialogs(HINSTANCE instance = ::GetModuleHandleA(nullptr)) : instance_(instance) {}

    Answer AskYesNo(const std::string& text, const std::string& title) override;
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override;
    void ShowError(const std::string& text, const std::string& title) override;
    std::string ShowInputBox(const std::string& prompt, const std::string& title) override;

private:
    HINSTANCE instance_;
};

}  // namespace tunlatch::win32
