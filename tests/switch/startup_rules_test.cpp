#include "switch/startup_rules.h"

#include <gtest/gtest.h>

namespace tunlatch {
namespace {

using ::testing::TestWithParam;
using ::testing::Values;

TEST(VersionTextTest, SkipsTheBuildNumber) {
    EXPECT_EQ(VersionText({1, 2, 0, 1}), "1.2.1");
    EXPECT_EQ(VersionText({1, 0, 0, 0}), "1.0.0");
    EXPECT_EQ(VersionText({10, 20, 99, 300}), "10.20.300");
}

TEST(WithTrailingBackslashTest, EndsWithExactlyOne) {
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Tools\\Tunlatch"), "C:\\Tools\\Tunlatch\\");
    EXPECT_EQ(WithTrailingBackslash("\\\\server\\share\\tools"), "\\\\server\\share\\tools\\");
}

struct InstallCase {
    bool read;
    const char* folder;
    const char* command;
};
class UiCommandFromInstallDirTest : public TestWithParam<InstallCase> {};

TEST_P(UiCommandFromInstallDirTest, BuildsTheQuotedCommandLine) {
    EXPECT_EQ(UiCommandFromInstallDir(GetParam().read, GetParam().folder), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UiCommandFromInstallDirTest,
    Values(
        InstallCase{true, "C:\\Program Files (x86)\\LogMeIn Hamachi",
                    "\"C:\\Program Files (x86)\\LogMeIn Hamachi\\hamachi-2-ui.exe\" --auto-start"},
        InstallCase{true, "\"C:\\Hamachi\\\"", "\"C:\\Hamachi\\hamachi-2-ui.exe\" --auto-start"},
        InstallCase{true, "C:\\Ha\"ma\"chi", "\"C:\\Hamachi\\hamachi-2-ui.exe\" --auto-start"},
        InstallCase{true, "", "\"\\hamachi-2-ui.exe\" --auto-start"},
        InstallCase{true, "\"\"", "\"\\hamachi-2-ui.exe\" --auto-start"},
        InstallCase{false, "", ""}, InstallCase{false, "C:\\Hamachi", ""}));

struct UacCase {
    const char* text;
    bool active;
};
class UacActiveFromTextTest : public TestWithParam<UacCase> {};

TEST_P(UacActiveFromTextTest, LowestBitOfTheRoundedLeadingNumber) {
    EXPECT_EQ(UacActiveFromText(GetParam().text), GetParam().active);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UacActiveFromTextTest,
    Values(UacCase{"1", true}, UacCase{"0", false}, UacCase{"", false}, UacCase{"2", false},
           UacCase{"3", true}, UacCase{"-1", true}, UacCase{"-2", false},
           UacCase{"4294967295", true}, UacCase{"-2147483648", false},
           // Ties go to the even neighbour, everything else to the nearest.
           UacCase{"0.5", false}, UacCase{"1.5", false}, UacCase{"2.5", false},
           UacCase{"3.5", false}, UacCase{"0.6", true}, UacCase{"2.51", true}, UacCase{"1.4", true},
           UacCase{"-0.5", false}, UacCase{"-1.5", false}, UacCase{"-2.5", false},
           UacCase{"-0.6", true}, UacCase{"1e0", true},
           // Only the leading number counts; blanks do not end it.
           UacCase{"1abc", true}, UacCase{" 1", true}, UacCase{"1 1", true}, UacCase{"abc1", false},
           UacCase{"-", false}, UacCase{".", false},
           // Beyond what a double holds exactly, or beyond its range: even, not a crash.
           UacCase{"99999999999999999999999999999", false}, UacCase{"1e400", false},
           UacCase{"-1e400", false}, UacCase{"1e-400", false},
           UacCase{"123456789012345678901234567890123456789012345678901234567890", false}));

}  // namespace
}  // namespace tunlatch
