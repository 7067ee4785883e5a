// The tray and the input box on a (virtual) display. Wine's "Wine System Tray" window is searched
// for the pictures' fill colours and shapes; the boxes are answered as a user would by a thread
// timer, which their own message loops serve. The input box also as the zip library's
// password prompt, with Info-ZIP's unzip32.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "system/win32/dialogs.h"
#include "system/win32/dialogs_resources.h"
#include "system/win32/unzip_dll.h"
#include "system/win32/win32_tray.h"
#include "tests/system/scratch_folder.h"
#include "tests/tray/tray_colours.h"

namespace tunlatch::win32 {
namespace {

using namespace test;

// What tells the 16 x 16 pictures apart, in the order of TrayPicture: their fill colours as bits
// (grey 1, red 2, green 4), and as bits too where their shape is filled: left of the centre (1),
// right of it (2), out near the rim (4). So a dot, a ring, a half disc and a disc differ even
// to a test that sees no colour.
constexpr std::array<std::array<int, 2>, 4> kLooks{{{1, 3}, {2, 4}, {6, 6}, {4, 7}}};

// Serves this thread's messages until the tray window's client area (without the greys of
// Wine's caption) shows the picture's fill colours and no others, and its shape (nothing for no
// picture), for at most five seconds. 20 pixels of a colour count (the dot has 32). The marks lie
// where make_icons.py draws them, around the fill colours' centre: each shape's fill reaches as
// far left as right and up as down.
bool Shows(std::optional<TrayPicture> picture) {
    const auto wanted = picture ? kLooks[static_cast<int>(*picture)] : std::array{0, 0};
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        RECT area{};
        const HWND tray = ::FindWindowA(nullptr, "Wine System Tray");
        if (tray != nullptr && ::GetClientRect(tray, &area)) {
            ::MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&area), 2);
            // Wine's tray draws a new picture over the old one without clearing it first, so a
            // ring's hole would still show the picture before; Windows' taskbar clears it.
            ::RedrawWindow(tray, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        const HDC screen = ::GetDC(nullptr);
        const auto fill = [screen](int x, int y) {  // the bit of the fill colour there, or 0
            const COLORREF pixel = ::GetPixel(screen, x, y);
            for (int bit = 0; bit < 3; ++bit)
                if (pixel == testing::kFills[bit]) return 1 << bit;
            return 0;
        };
        std::array<int, 5> seen{};
        RECT box{area.right, area.bottom, area.left - 1, area.top - 1};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (const int bit = fill(x, y)) {
                    ++seen[bit];
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
                }
        const int x = (box.left + box.right + 1) / 2, y = (box.top + box.bottom + 1) / 2;
        const int colours = (seen[1] >= 20) + 2 * (seen[2] >= 20) + 4 * (seen[4] >= 20);
        const int shape = colours == 0 ? 0
                                       : (fill(x - 3, y) != 0) + 2 * (fill(x + 2, y) != 0) +
                                             4 * (fill(x + 2, y - 5) != 0);
        ::ReleaseDC(nullptr, screen);
        if (std::array{colours, shape} == wanted) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
}

TEST(TrayOnDisplay, EachCallSucceedsAndTheTrayShowsItsPicture) {
    Win32Tray tray(::GetModuleHandleA(nullptr));
    ASSERT_TRUE(tray.AddIcon(TrayPicture::Grey, "Tunlatch"));
    EXPECT_TRUE(Shows(TrayPicture::Grey));
    for (const TrayPicture picture :
         {TrayPicture::Red, TrayPicture::GreenRed, TrayPicture::Green}) {
        EXPECT_TRUE(tray.ChangePicture(picture));
        EXPECT_TRUE(Shows(picture)) << static_cast<int>(picture);
    }
    EXPECT_TRUE(tray.ShowBalloon("Tunlatch V1.0.0", "Hamachi started", BalloonKind::Silent));
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_TRUE(Shows(std::nullopt));
}

// A shell that died forgets the icon; once restarted it announces "TaskbarCreated".
TEST(TrayOnDisplay, RestartedShellGetsTheIconAgain) {
    Win32Tray tray(::GetModuleHandleA(nullptr));
    ASSERT_TRUE(tray.AddIcon(TrayPicture::Red, "Tunlatch"));
    NOTIFYICONDATAA record{};
    record.cbSize = kNotifyRecordSize;
    record.hWnd = tray.OwnerWindow();
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_TRUE(Shows(std::nullopt));
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_TRUE(Shows(TrayPicture::Red));
}

constexpr const char* kTitle = "Tunlatch V1.0.0";

// What the user types into each input box to come and the button pressed then, in turn, and
// how many boxes came.
std::vector<std::pair<int, const char*>> answers;
std::size_t answered = 0;

void CALLBACK AnswerTheBoxShown(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = ::FindWindowA("#32770", kTitle);
    if (box == nullptr) return;
    // A box beyond the answers given is cancelled: the count tells of it.
    const auto [button, text] =
        answered < answers.size() ? answers[answered] : std::pair{IDCANCEL, ""};
    ++answered;
    ::SetDlgItemTextA(box, IDC_INPUT_TEXT, text);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
}

// Runs ask while the user answers its boxes; how many boxes came.
std::size_t Answering(std::vector<std::pair<int, const char*>> given,
                      const std::function<void()>& ask) {
    answers = std::move(given);
    answered = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AnswerTheBoxShown);
    ask();
    ::KillTimer(nullptr, timer);
    return answered;
}

// Extraction keeps the stored folders and overwrites existing files. The typed password opens
// the first encrypted member; the second has another, and Cancel gives nothing although the
// field holds the first, so it stays shut, and no later extraction of the run asks again. The
// skipped member is no failure of the extraction.
TEST(DialogsOnDisplay, ZipPasswordIsAskedInTheInputBoxUntilCancelled) {
    ScratchFolder folder;
    ::CopyFileA((BinFolder() + "devcon_archives\\encrypted.zip").c_str(),
                (folder / "encrypted.zip").c_str(), FALSE);
    WriteBytes(folder / "plain.txt", "an older and longer text than the member holds");
    Win32Dialogs dialogs;
    Win32Unzip unzip(BinFolder() + "unzip32.dll", dialogs, kTitle);
    const auto extract = [&] {
        EXPECT_TRUE(unzip.UnzipArchive(folder / "encrypted.zip", folder.path).ok());
    };
    EXPECT_EQ(Answering({{IDOK, "letmein"}, {IDCANCEL, "letmein"}}, extract), 2u);
    EXPECT_EQ(ReadBytes(folder / "plain.txt"), "not secret\r\n");
    EXPECT_EQ(ReadBytes(folder / "secret\\first.txt"), "first secret\r\n");
    EXPECT_EQ(Answering({{IDOK, "letmein"}}, extract), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "secret\\second.txt"));
}

}  // namespace
}  // namespace tunlatch::win32
