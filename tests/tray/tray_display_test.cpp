// The tray icon on a real (virtual) display: Wine's system tray window is photographed and
// searched for the pictures' colours.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "system/win32/win32_tray.h"
#include "tests/tray/pump_wait.h"
#include "tests/tray/screen_capture.h"

namespace tunlatch::win32 {
namespace {

using namespace std::chrono_literals;
using testing::Capture;
using testing::PumpUntil;

constexpr auto kShellDeadline = 5s;
// Enough of a 16 x 16 disc's fill to tell a picture from stray pixels (half a disc is ~60).
constexpr int kMinFill = 20;

struct Seen {
    bool grey, red, green;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "{grey " << s.grey << ", red " << s.red << ", green " << s.green << "}";
}

Seen Expected(std::optional<TrayPicture> picture) {
    // In the order of TrayPicture: grey, red, green-red, green.
    constexpr Seen kSeen[] = {
        {true, false, false}, {false, true, false}, {false, true, true}, {false, false, true}};
    return picture ? kSeen[static_cast<int>(*picture)] : Seen{false, false, false};
}

// Wine's tray window, or the top left corner where it appears once it has an icon.
RECT TrayArea() {
    RECT rect = testing::WineSystemTrayRect();
    if (rect.right <= rect.left) rect = RECT{0, 0, 320, 96};
    return rect;
}

Seen Look(const Capture& capture) {
    return {capture.Count(testing::kGreyFill) >= kMinFill,
            capture.Count(testing::kRedFill) >= kMinFill,
            capture.Count(testing::kGreenFill) >= kMinFill};
}

// Waits until the tray shows exactly the picture (or no icon), and keeps the last screenshot.
::testing::AssertionResult TrayShows(std::optional<TrayPicture> picture, const std::string& shot) {
    Capture capture;
    const bool matched = PumpUntil(
        [&] {
            capture = testing::CaptureScreen(TrayArea());
            return Look(capture) == Expected(picture);
        },
        kShellDeadline);
    capture.Save(shot);
    if (matched) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "tray shows " << Look(capture) << ", expected "
                                         << Expected(picture) << " (screenshot " << shot << ")";
}

// Asks the shell whether it holds an icon of this owner, changing nothing.
bool ShellKnowsIcon(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = kNotifyRecordSize;
    probe.hWnd = owner;
    probe.uID = 0;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void ShellForgetsIcon(HWND owner) {
    NOTIFYICONDATAA record{};
    record.cbSize = kNotifyRecordSize;
    record.hWnd = owner;
    ::Shell_NotifyIconA(NIM_DELETE, &record);
}

// What a shell that has just (re)started says to every top-level window.
void AnnounceTaskbar() {
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 2000, nullptr);
}

struct TrayOnDisplay : ::testing::Test {
    Win32Tray tray{::GetModuleHandleA(nullptr)};
};

TEST_F(TrayOnDisplay, AddEachPictureBalloonAndDeleteSucceedAndShow) {
    EXPECT_EQ(tray.OwnerWindow(), nullptr) << "no window before the icon";
    ASSERT_TRUE(tray.AddIcon(TrayPicture::Grey, "Tunlatch"));
    const HWND owner = tray.OwnerWindow();
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner)) << "the window is never shown";
    EXPECT_TRUE(TrayShows(TrayPicture::Grey, "tray-1-grey"));
    EXPECT_TRUE(tray.ChangePicture(TrayPicture::Red));
    EXPECT_TRUE(TrayShows(TrayPicture::Red, "tray-2-red"));
    EXPECT_TRUE(tray.ChangePicture(TrayPicture::GreenRed));
    EXPECT_TRUE(TrayShows(TrayPicture::GreenRed, "tray-3-green-red"));
    EXPECT_TRUE(tray.ChangePicture(TrayPicture::Green));
    EXPECT_TRUE(TrayShows(TrayPicture::Green, "tray-4-green"));

    EXPECT_TRUE(tray.ShowBalloon("Tunlatch V1.0.0", "Hamachi started", BalloonSound::Silent));
    EXPECT_TRUE(tray.ShowBalloon("Tunlatch V1.0.0", "Hamachi stopped", BalloonSound::Audible));
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_FALSE(ShellKnowsIcon(owner));
    EXPECT_FALSE(::IsWindow(owner)) << "the window goes with the icon";
    EXPECT_TRUE(TrayShows(std::nullopt, "tray-5-deleted"));
}

TEST_F(TrayOnDisplay, RestartedShellGetsTheCurrentPictureOnlyWhileTheIconIsAdded) {
    ASSERT_TRUE(tray.AddIcon(TrayPicture::Grey, "Tunlatch"));
    ASSERT_TRUE(tray.ChangePicture(TrayPicture::Red));
    const HWND owner = tray.OwnerWindow();
    ShellForgetsIcon(owner);  // as a shell that has just died
    ASSERT_FALSE(ShellKnowsIcon(owner));
    AnnounceTaskbar();
    EXPECT_TRUE(ShellKnowsIcon(owner));
    EXPECT_TRUE(TrayShows(TrayPicture::Red, "restart-1-added-again"));

    ASSERT_TRUE(tray.DeleteIcon());
    AnnounceTaskbar();
    EXPECT_FALSE(ShellKnowsIcon(owner)) << "a deleted icon must stay deleted";

    HWND gone = nullptr;
    {
        Win32Tray going(::GetModuleHandleA(nullptr));
        ASSERT_TRUE(going.AddIcon(TrayPicture::Green, "Tunlatch"));
        gone = going.OwnerWindow();
    }  // the tray goes while its icon is still up
    AnnounceTaskbar();
    EXPECT_FALSE(ShellKnowsIcon(gone));
    EXPECT_TRUE(TrayShows(std::nullopt, "restart-2-after-the-tray-went"));
}

}  // namespace
}  // namespace tunlatch::win32
