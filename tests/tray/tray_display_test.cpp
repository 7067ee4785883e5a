// The tray icon on a real (virtual) display: Wine's system tray window is photographed and
// searched for the pictures' colours.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/tray/pump_wait.h"
#include "tests/tray/screen_capture.h"
#include "tray/form_main.h"
#include "system/win32/win32_tray.h"

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
    if (!picture) return {false, false, false};
    switch (*picture) {
        case TrayPicture::Grey:
            return {true, false, false};
        case TrayPicture::Red:
            return {false, true, false};
        case TrayPicture::GreenRed:
            return {false, true, true};
        case TrayPicture::Green:
            return {false, false, true};
    }
    return {};
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

TEST_F(TrayOnDisplay, AddModifyToEachPictureBalloonAndDeleteSucceedAndShow) {
    tray.Load();
    const HWND owner = tray.OwnerWindow();
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner)) << "the form is never shown";

    ASSERT_TRUE(tray.TrayIconShow(true, TrayPicture::Grey, kTrayTip));
    EXPECT_TRUE(TrayShows(TrayPicture::Grey, "tray-1-grey"));
    EXPECT_TRUE(tray.TrayIconModify(TrayPicture::Red, std::nullopt));
    EXPECT_TRUE(TrayShows(TrayPicture::Red, "tray-2-red"));
    EXPECT_TRUE(tray.TrayIconModify(TrayPicture::GreenRed, std::nullopt));
    EXPECT_TRUE(TrayShows(TrayPicture::GreenRed, "tray-3-green-red"));
    EXPECT_TRUE(tray.TrayIconModify(TrayPicture::Green, std::nullopt));
    EXPECT_TRUE(TrayShows(TrayPicture::Green, "tray-4-green"));

    // picTrayicon_MouseMove: pointing at or clicking the icon changes nothing.
    for (LPARAM mouse :
         {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK})
        EXPECT_EQ(::SendMessageA(owner, kTrayCallbackMessage, 0, mouse), 0);
    EXPECT_TRUE(ShellKnowsIcon(owner));
    EXPECT_TRUE(TrayShows(TrayPicture::Green, "tray-5-after-clicks"));

    EXPECT_TRUE(tray.TrayBalloon("Tunlatch V1.0.0", "Hamachi started", kBalloonInfoSilent, 0));
    EXPECT_TRUE(tray.TrayIconShow(false, std::nullopt, ""));
    EXPECT_FALSE(ShellKnowsIcon(owner));
    tray.Unload();
    EXPECT_FALSE(::IsWindow(owner)) << "the form goes with the unload";
    EXPECT_TRUE(TrayShows(std::nullopt, "tray-6-deleted"));
}

TEST_F(TrayOnDisplay, FormWithTraySettingOnShowsGreyFromLoadToUnload) {
    RunContext context;
    context.INI_tray_icon = true;
    FormMain form(tray, context);
    form.Form_Load();
    EXPECT_TRUE(TrayShows(TrayPicture::Grey, "form-on-1-loaded"));
    form.Form_Unload();
    EXPECT_EQ(tray.OwnerWindow(), nullptr);
    EXPECT_TRUE(TrayShows(std::nullopt, "form-on-2-unloaded"));
}

// The balloons that depend on the balloon setting alone still come when the icon is off.
TEST_F(TrayOnDisplay, FormWithTraySettingOffNeverShowsAnIconOrBalloon) {
    RunContext context;
    context.INI_tray_icon = false;
    FormMain form(tray, context);
    form.Form_Load();
    EXPECT_EQ(tray.OwnerWindow(), nullptr) << "without the icon the form needs no window";
    EXPECT_FALSE(
        tray.TrayBalloon("Tunlatch V1.0.0", "Start Hamachi: Service", kBalloonInfoSilent, 0));
    EXPECT_TRUE(TrayShows(std::nullopt, "form-off"));
    form.Form_Unload();
}

TEST_F(TrayOnDisplay, RestartedShellGetsTheCurrentPictureOnlyWhileTheIconIsShown) {
    tray.Load();
    const HWND owner = tray.OwnerWindow();
    ASSERT_TRUE(tray.TrayIconShow(true, TrayPicture::Grey, kTrayTip));
    ASSERT_TRUE(tray.TrayIconModify(TrayPicture::Red, std::nullopt));

    ShellForgetsIcon(owner);  // as a shell that has just died
    ASSERT_FALSE(ShellKnowsIcon(owner));
    AnnounceTaskbar();
    EXPECT_TRUE(ShellKnowsIcon(owner));
    EXPECT_TRUE(TrayShows(TrayPicture::Red, "restart-1-added-again"));

    ASSERT_TRUE(tray.TrayIconShow(false, std::nullopt, ""));
    AnnounceTaskbar();
    EXPECT_FALSE(ShellKnowsIcon(owner)) << "a deleted icon must stay deleted";

    ASSERT_TRUE(tray.TrayIconShow(true, TrayPicture::Green, kTrayTip));
    tray.Unload();  // the form goes while the icon is still up
    AnnounceTaskbar();
    EXPECT_FALSE(ShellKnowsIcon(owner));
    EXPECT_TRUE(TrayShows(std::nullopt, "restart-2-after-unload"));
}

}  // namespace
}  // namespace tunlatch::win32
