#include "system/win32/dialogs.h"

#include <string>

#include "system/win32/dialogs_resources.h"

namespace tunlatch::win32 {
namespace {

struct InputBox {
    const std::string& prompt;
    const std::string& title;
    std::string answer;
};

std::string ControlText(HWND control) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* input = reinterpret_cast<InputBox*>(lParam);
            ::SetWindowLongPtrA(box, DWLP_USER, lParam);
            ::SetWindowTextA(box, input->title.c_str());
            ::SetDlgItemTextA(box, IDC_INPUT_PROMPT, input->prompt.c_str());
            // The answer field takes the typing at once.
            ::SetFocus(::GetDlgItem(box, IDC_INPUT_TEXT));
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: {
                    auto* input = reinterpret_cast<InputBox*>(::GetWindowLongPtrA(box, DWLP_USER));
                    input->answer = ControlText(::GetDlgItem(box, IDC_INPUT_TEXT));
                    ::EndDialog(box, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    ::EndDialog(box, IDCANCEL);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

// Windows answers 0 when no box can be shown, Wine without a display -1: both mean none.
Answer Ask(const std::string& text, const std::string& title, UINT style) {
    switch (::MessageBoxA(nullptr, text.c_str(), title.c_str(), style)) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        case IDCANCEL:
            return Answer::Cancel;
        default:
            return Answer::None;
    }
}

}  // namespace

Answer Win32Dialogs::AskYesNo(const std::string& text, const std::string& title) {
    return Ask(text, title, MB_YESNO | MB_ICONEXCLAMATION);
}

Answer Win32Dialogs::AskYesNoCancel(const std::string& text, const std::string& title) {
    return Ask(text, title, MB_YESNOCANCEL | MB_ICONQUESTION);
}

void Win32Dialogs::ShowError(const std::string& text, const std::string& title) {
    ::MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

std::string Win32Dialogs::ShowInputBox(const std::string& prompt, const std::string& title) {
    InputBox input{prompt, title, {}};
    // Without a display the box cannot be made and the call fails at once (-1 or 0).
    const INT_PTR result = ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_INPUT_BOX), nullptr,
                                             &InputBoxProc, reinterpret_cast<LPARAM>(&input));
    return result == IDOK ? input.answer : std::string();
}

}  // namespace tunlatch::win32
