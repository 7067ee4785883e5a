// Win32Unzip with the real input box on a (virtual) display, against the stand-in unzip32.dll.
// A watcher thread plays the user: it finds each box the extraction opens, notes what it shows
// and answers it, so the number of boxes that really appeared is counted.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "system/win32/dialogs.h"
#include "system/win32/dialogs_resources.h"
#include "system/win32/unzip_dll.h"
#include "tests/provisioning/wine_test_files.h"

namespace tunlatch::test {
namespace {

using namespace std::chrono_literals;
using win32::Win32Dialogs;
using win32::Win32Unzip;

constexpr const char* kTitle = "Tunlatch V1.2.1";
constexpr const char* kPrompt = "Please Enter The Password!";
constexpr auto kCloseDeadline = 10s;

std::string Text(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

struct BoxSearch {
    DWORD process = ::GetCurrentProcessId();
    HWND found = nullptr;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (process != search->process || std::string(className) != "#32770" ||
        !::IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible dialog window of this process: any box the extraction opens, whatever its title.
HWND FindVisibleBox() {
    BoxSearch search;
    ::EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct SeenBox {
    std::string title;
    std::string prompt;
    std::string field;
};

// Watches for boxes from its start until it is destroyed, answering each with `answer` and
// waiting for it to close before looking for the next one.
class BoxWatcher {
public:
    explicit BoxWatcher(std::function<void(HWND)> answer)
        : answer_(std::move(answer)), thread_([this] { Watch(); }) {}
    ~BoxWatcher() {
        done_ = true;
        thread_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<SeenBox> Seen() {
        const std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    void Watch() {
        while (!done_) {
            const HWND box = FindVisibleBox();
            if (box == nullptr) {
                std::this_thread::sleep_for(10ms);
                continue;
            }
            {
                const std::lock_guard lock(mutex_);
                seen_.push_back({Text(box), Text(::GetDlgItem(box, IDC_INPUT_PROMPT)),
                                 Text(::GetDlgItem(box, IDC_INPUT_TEXT))});
            }
            answer_(box);
            const auto end = std::chrono::steady_clock::now() + kCloseDeadline;
            while (::IsWindow(box) && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(10ms);
        }
    }

    std::function<void(HWND)> answer_;
    std::atomic<bool> done_ = false;
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::thread thread_;  // last: it starts once the members above exist
};

void Press(HWND box, int button) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
}

void TypeAndPressOk(HWND box, const char* text) {
    ::SetDlgItemTextA(box, IDC_INPUT_TEXT, text);
    Press(box, IDOK);
}

class UnzipPasswordOnDisplay : public testing::Test {
protected:
    void SetUp() override {
        target = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { RemoveTree(target); }

    std::string At(const std::string& name) const { return target + "\\" + name; }

    // Extracts with the watcher answering every box, and tells the boxes it saw.
    std::vector<SeenBox> Extract(Win32Unzip& unzip, const std::string& archive,
                                 std::function<void(HWND)> answer) {
        BoxWatcher watcher(std::move(answer));
        unzip.UnzipArchive(ArchivePath(archive), target);
        return watcher.Seen();
    }

    Win32Dialogs dialogs{::GetModuleHandleA(nullptr)};
    std::string dll = BinFolder() + "unzip32.dll";
    std::string target;
};

TEST_F(UnzipPasswordOnDisplay, TypedPasswordExtractsTheEncryptedMembers) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    const auto seen =
        Extract(unzip, "encrypted.exe", [](HWND box) { TypeAndPressOk(box, "letmein"); });

    // One box for each encrypted member, each asking for the password with an empty field.
    ASSERT_EQ(seen.size(), 2u);
    for (const SeenBox& box : seen) {
        EXPECT_EQ(box.title, kTitle);
        EXPECT_EQ(box.prompt, kPrompt);
        EXPECT_EQ(box.field, "");
    }
    EXPECT_EQ(ReadWhole(At("plain.txt")), "not secret\r\n");
    EXPECT_EQ(ReadWhole(At("secret\\first.txt")), "first secret\r\n");
    EXPECT_EQ(ReadWhole(At("secret\\second.txt")), "second secret\r\n");
}

TEST_F(UnzipPasswordOnDisplay, CancelledPromptIsTheOnlyOneShownForTheRun) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    const auto seen = Extract(unzip, "encrypted.exe", [](HWND box) { Press(box, IDCANCEL); });

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, kTitle);
    EXPECT_EQ(seen[0].prompt, kPrompt);
    EXPECT_EQ(ReadWhole(At("plain.txt")), "not secret\r\n");
    EXPECT_FALSE(IsFile(At("secret\\first.txt")));
    EXPECT_FALSE(IsFile(At("secret\\second.txt")));

    // A later extraction by the same object shows no box either; a box would be answered
    // with the password, so its members would appear.
    const auto later =
        Extract(unzip, "encrypted.exe", [](HWND box) { TypeAndPressOk(box, "letmein"); });
    EXPECT_TRUE(later.empty());
    EXPECT_FALSE(IsFile(At("secret\\first.txt")));
    EXPECT_FALSE(IsFile(At("secret\\second.txt")));
}

TEST_F(UnzipPasswordOnDisplay, ArchiveWithoutEncryptedMembersShowsNoBox) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    const auto seen = Extract(unzip, "folders.exe", [](HWND box) { Press(box, IDCANCEL); });

    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ReadWhole(At("top.txt")), "top level\r\n");
    EXPECT_TRUE(IsFolder(At("one\\empty")));
}

}  // namespace
}  // namespace tunlatch::test
