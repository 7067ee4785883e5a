// Programs for the signed-in user under Wine 8, where the two ways differ: Wine's desktop has no
// shell window (GetShellWindow stays null even once the desktop process runs), so the token way
// always reports no shell and the UI program takes the run's own start; the desktop process does
// serve the shell's windows through COM, some time after the session's first window started it,
// and then opens what it is handed in its own process (explorer.exe), as Explorer does.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/win32/com_apartment.h"
#include "system/win32/processes.h"
#include "system/win32/user_start.h"
#include "tests/system/failure.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

using namespace test;

// With no shell window to take a token from, the way itself is shown on a window of this test's
// own: its process's token starts the child.
TEST(UserStart, TheTokenWayFindsNoShellUnderWineButStartsFromAWindowsProcess) {
    EXPECT_EQ(Failure(Win32Processes().LaunchAsUser(Child("exit 0"))), UserStartFailure{});
    const UniqueWindow window(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    const auto launched = LaunchWithTokenOf(window.get(), Child("exit 7"));
    ASSERT_TRUE(launched);
    const UniqueKernelHandle child(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, *launched));
    ASSERT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(child.get(), &exitCode);
    EXPECT_EQ(exitCode, 7u);
}

// A file type of the test's own, opened by the child, which records who started it. Under a
// fresh wineserver the desktop process at times serves no shell windows for seconds (once in
// five runs here), so no shell is an answer too; a shell that answers must open the target in
// its own process.
TEST(UserStart, TheDesktopShellOpensTheTargetInItsOwnProcess) {
    const auto text = [](const char* key, const std::string& value) {
        return ::RegSetKeyValueA(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                                 static_cast<DWORD>(value.size() + 1));
    };
    ASSERT_EQ(text(".tltestopen", "TunlatchTest"), ERROR_SUCCESS);
    ASSERT_EQ(text("TunlatchTest\\shell\\open\\command", Child("parent \"%1\"")), ERROR_SUCCESS);
    ScratchFolder folder;
    const std::string target = folder / "opened.tltestopen";
    WriteBytes(target, "");

    ComApartment com;
    Win32Processes processes(&com);
    Result<Done, UserStartFailure> opened = UserStartFailure{};
    for (int tries = 0; tries < 30; ++tries, processes.WaitMs(100)) {
        opened = processes.ShellOpenAsUser(target);
        if (opened || opened.error().kind != UserStartFailure::Kind::NoShell) break;
    }
    if (opened) {
        for (int tries = 0; tries < 100 && ReadBytes(target).empty(); ++tries)
            processes.WaitMs(100);
        EXPECT_EQ(ReadBytes(target), "explorer.exe");
    } else {
        EXPECT_EQ(opened.error(), UserStartFailure{});
    }
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "TunlatchTest");
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".tltestopen");
}

}  // namespace
}  // namespace tunlatch::win32
