// The OS facts module under Wine. The test expects the system a new prefix reports unless the
// TL_EXPECT_* environment variables name another (os_versions.sh switches the prefix to other
// versions and runs it again); a text's start and end may be the same whole text.
#include "system/win32/os_facts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tunlatch::win32 {
namespace {

using namespace ::testing;

std::string Expected(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : otherwise;
}

TEST(Win32OsFacts, ReportsTheSystemThePrefixIsSetTo) {
    const OsInformation info = Win32OsFacts().GetOSInf();
    EXPECT_THAT(info.FullText,
                AllOf(StartsWith(Expected("TL_EXPECT_TEXT_START", "Windows 7 ")),
                      EndsWith(Expected("TL_EXPECT_TEXT_END", " (x64) [Service Pack 1]"))));
    EXPECT_THAT(info.FullNumbers,
                AllOf(StartsWith(Expected("TL_EXPECT_NUMBERS_START",
                                          "PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1")),
                      EndsWith(Expected("TL_EXPECT_NUMBERS_END", " OSA:x64"))));
    EXPECT_EQ(info.VersionName, Expected("TL_EXPECT_VERSION_NAME", "7"));
    EXPECT_EQ(info.Architecture, "x64");
    EXPECT_EQ(info.VersionInfoSize, 156);
}

}  // namespace
}  // namespace tunlatch::win32
