// The message box and the input box on a (virtual) display, answered by a helper thread the
// way a user would: it finds the box by its title, checks what it shows and answers it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "system/win32/dialogs.h"
#include "system/win32/dialogs_resources.h"
#include "tests/tray/screen_capture.h"

namespace tunlatch::win32 {
namespace {

using namespace std::chrono_literals;

constexpr auto kBoxDeadline = 10s;

HWND WaitForBox(const std::string& title) {
    const auto end = std::chrono::steady_clock::now() + kBoxDeadline;
    for (;;) {
        if (HWND box = ::FindWindowA("#32770", title.c_str())) return box;
        if (std::chrono::steady_clock::now() >= end) return nullptr;
        std::this_thread::sleep_for(20ms);
    }
}

std::string Text(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

void Click(HWND box, int button) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
}

// Keystrokes through the system's input queue: they reach whatever has the focus.
void Type(const std::string& text, WORD finalKey) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, WORD scan, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = scan;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (char c : text) {
        key(0, static_cast<WORD>(c), KEYEVENTF_UNICODE);
        key(0, static_cast<WORD>(c), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
    key(finalKey, 0, 0);
    key(finalKey, 0, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Runs the helper beside the modal box and joins it whatever the box did.
class Answerer {
public:
    template <typename F>
    explicit Answerer(F f) : thread_(std::move(f)) {}
    ~Answerer() { thread_.join(); }

private:
    std::thread thread_;
};

struct DialogsOnDisplay : ::testing::Test {
    Win32Dialogs dialogs{::GetModuleHandleA(nullptr)};
};

TEST_F(DialogsOnDisplay, InputBoxShowsPromptAndTitleAndAnswersWhatIsTypedOnEnter) {
    const std::string title = "Tunlatch V1.0.0";
    std::string shownPrompt, shownField;
    std::string answer;
    {
        Answerer user([&] {
            HWND box = WaitForBox(title);
            if (!box) return;
            shownPrompt = Text(::GetDlgItem(box, IDC_INPUT_PROMPT));
            shownField = Text(::GetDlgItem(box, IDC_INPUT_TEXT));
            RECT rect{};
            ::GetWindowRect(box, &rect);
            testing::CaptureScreen(rect).Save("input-box");
            ::SetForegroundWindow(box);
            Type("s3cret pass", VK_RETURN);
        });
        answer = dialogs.ShowInputBox("Please Enter The Password!", title);
    }
    EXPECT_EQ(shownPrompt, "Please Enter The Password!");
    EXPECT_EQ(shownField, "");
    EXPECT_EQ(answer, "s3cret pass");
}

TEST_F(DialogsOnDisplay, InputBoxAnswersNothingOnCancel) {
    std::string cancelled = "not asked";
    {
        Answerer user([&] {
            HWND box = WaitForBox("Cancelled box");
            if (!box) return;
            ::SetDlgItemTextA(box, IDC_INPUT_TEXT, "typed but cancelled");
            Click(box, IDCANCEL);
        });
        cancelled = dialogs.ShowInputBox("Name?", "Cancelled box");
    }
    EXPECT_EQ(cancelled, "");
}

TEST_F(DialogsOnDisplay, MessageBoxAnswersTheButtonPressed) {
    struct Case {
        const char* title;
        int button;
        Answer answer;
    };
    for (const Case& c :
         {Case{"Answer yes", IDYES, Answer::Yes}, Case{"Answer no", IDNO, Answer::No}}) {
        bool hasYesAndNo = false;
        Answer answer = Answer::None;
        {
            Answerer user([&] {
                HWND box = WaitForBox(c.title);
                if (!box) return;
                hasYesAndNo = ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO);
                Click(box, c.button);
            });
            answer = dialogs.AskYesNo("devcon.exe not found!", c.title);
        }
        EXPECT_TRUE(hasYesAndNo) << c.title;
        EXPECT_EQ(answer, c.answer) << c.title;
    }
}

}  // namespace
}  // namespace tunlatch::win32
