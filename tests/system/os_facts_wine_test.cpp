// The OS facts module under Wine. The version test expects the system a new prefix reports
// unless the TL_EXPECT_* environment variables name another (os_versions.sh switches the prefix
// to other versions and runs it again).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "system/win32/os_facts.h"

namespace tunlatch::win32 {
namespace {

std::string Expected(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : otherwise;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(Win32OsFacts, ReportsTheSystemThePrefixIsSetTo) {
    const OsInformation info = Win32OsFacts().GetOSInf();
    const std::string textStart = Expected("TL_EXPECT_TEXT_START", "Windows 7 ");
    const std::string textEnd = Expected("TL_EXPECT_TEXT_END", " (x64) [Service Pack 1]");
    const std::string numbersStart =
        Expected("TL_EXPECT_NUMBERS_START", "PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1");
    const std::string numbersEnd = Expected("TL_EXPECT_NUMBERS_END", " OSA:x64");
    EXPECT_TRUE(StartsWith(info.FullText, textStart)) << "[" << info.FullText << "]";
    EXPECT_TRUE(EndsWith(info.FullText, textEnd)) << "[" << info.FullText << "]";
    EXPECT_TRUE(StartsWith(info.FullNumbers, numbersStart)) << "[" << info.FullNumbers << "]";
    EXPECT_TRUE(EndsWith(info.FullNumbers, numbersEnd)) << "[" << info.FullNumbers << "]";
    EXPECT_EQ(info.VersionName, Expected("TL_EXPECT_VERSION_NAME", "7"));
    EXPECT_EQ(info.Architecture, "x64");
    EXPECT_EQ(info.VersionInfoSize, 156);
}

TEST(Win32OsFacts, AnswersTheSameEveryTime) {
    Win32OsFacts facts;
    EXPECT_EQ(facts.GetOSInf().FullNumbers, facts.GetOSInf().FullNumbers);
    EXPECT_EQ(facts.IsAdmin(), facts.IsAdmin());
}

TEST(Win32OsFacts, NetApiIsNoLoadTimeImport) {
    // The program restricts DLL loading to the system folder, and netapi32 is no known DLL:
    // using the account query must not have needed it at start.
    EXPECT_EQ(::GetModuleHandleA("netapi32.dll"), nullptr);
    Win32OsFacts().IsAdmin();
    EXPECT_EQ(::GetModuleHandleA("netapi32.dll"), nullptr);
}

}  // namespace
}  // namespace tunlatch::win32
