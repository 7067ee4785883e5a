// Without any display the tray and the dialogs must come back at once, whatever they answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "system/win32/dialogs.h"
#include "system/win32/win32_tray.h"

namespace tunlatch::win32 {
namespace {

using namespace std::chrono_literals;

// Far below the test's time-out, far above what a refused call costs.
constexpr auto kPrompt = 10s;

template <typename F>
std::chrono::steady_clock::duration Timed(F f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::steady_clock::now() - start;
}

TEST(TrayWithoutDisplay, AddFailsAtOnceAndTheRestOfARunReturnsPromptly) {
    bool added = true;
    const auto took = Timed([&] {
        Win32Tray tray(::GetModuleHandleA(nullptr));
        added = tray.AddIcon(TrayPicture::Grey, "Tunlatch");
        for (TrayPicture p : {TrayPicture::Red, TrayPicture::GreenRed, TrayPicture::Green})
            tray.ChangePicture(p);
        tray.ShowBalloon("Tunlatch V1.0.0", "Hamachi stopped", BalloonSound::Audible);
        tray.DeleteIcon();
    });
    EXPECT_FALSE(added);
    EXPECT_LT(took, kPrompt);
}

TEST(DialogsWithoutDisplay, BoxesAnswerNothingAtOnce) {
    Win32Dialogs dialogs(::GetModuleHandleA(nullptr));
    std::string typed = "unset";
    Answer pressed = Answer::Yes;
    const auto took = Timed([&] {
        typed = dialogs.ShowInputBox("Please Enter The Password!", "Tunlatch V1.0.0");
        pressed = dialogs.AskYesNo("devcon.exe not found!", "Tunlatch V1.0.0");
    });
    EXPECT_LT(took, kPrompt);
    EXPECT_EQ(typed, "");
    EXPECT_EQ(pressed, Answer::None) << "no box, no button";
}

}  // namespace
}  // namespace tunlatch::win32
