#include "switch/settings.h"

#include <gtest/gtest.h>

#include "tests/fakes/settings_file_fake.h"

namespace tunlatch {
namespace {

using ::testing::TestWithParam;
using ::testing::Values;

const std::string kIni = "C:\\Tools\\Tunlatch\\tunlatch.ini";

struct BoolCase {
    const char* text;
    std::optional<bool> value;
};
class SettingBooleanTest : public TestWithParam<BoolCase> {};

TEST_P(SettingBooleanTest, Converts) {
    EXPECT_EQ(SettingBoolean(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingBooleanTest,
    Values(BoolCase{"1", true}, BoolCase{"0", false}, BoolCase{"2", true}, BoolCase{"-1", true},
           BoolCase{"00", false}, BoolCase{"0.0", false}, BoolCase{"0.25", true},
           BoolCase{".5", true}, BoolCase{"+3", true}, BoolCase{"1e3", true},
           BoolCase{"0E-7", false}, BoolCase{" 1\t", true}, BoolCase{"True", true},
           BoolCase{"tRUE", true}, BoolCase{"FALSE", false}, BoolCase{"false", false},
           BoolCase{"", std::nullopt}, BoolCase{" ", std::nullopt}, BoolCase{"yes", std::nullopt},
           BoolCase{"on", std::nullopt}, BoolCase{"1x", std::nullopt}, BoolCase{"1e", std::nullopt},
           BoolCase{".", std::nullopt}, BoolCase{"-", std::nullopt}, BoolCase{"0x1", std::nullopt},
           BoolCase{"1,5", std::nullopt}, BoolCase{"inf", std::nullopt},
           BoolCase{"nan", std::nullopt}, BoolCase{"truefalse", std::nullopt}));

struct LogCase {
    const char* text;
    std::optional<std::int16_t> value;
};
class SettingLogLevelTest : public TestWithParam<LogCase> {};

TEST_P(SettingLogLevelTest, Converts) {
    EXPECT_EQ(SettingLogLevel(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingLogLevelTest,
    Values(LogCase{"0", 0}, LogCase{"1", 1}, LogCase{"2", 2}, LogCase{"3", 3}, LogCase{"-1", -1},
           LogCase{"+2", 2}, LogCase{"002", 2}, LogCase{" 2 ", 2}, LogCase{"32767", 32767},
           LogCase{"-32768", -32768}, LogCase{"32768", std::nullopt},
           LogCase{"-32769", std::nullopt}, LogCase{"99999999999999999999999", std::nullopt},
           LogCase{"", std::nullopt}, LogCase{"-", std::nullopt}, LogCase{"2.0", std::nullopt},
           LogCase{"1e1", std::nullopt}, LogCase{"two", std::nullopt},
           LogCase{"True", std::nullopt}, LogCase{"2 2", std::nullopt}));

TEST(ReadSettingsTest, NoFileGivesTheDefaults) {
    FakeSettingsFile file;
    RunContext ctx;
    ctx.INI_tray_icon = false;
    ctx.INI_balloon_tips = ctx.INI_on_demand = ctx.INI_force_uiexe = true;
    ctx.INI_log = 9;
    ctx.INI_uiexe = "stale";
    ReadSettings(file, kIni, ctx);
    EXPECT_TRUE(ctx.INI_tray_icon);
    EXPECT_FALSE(ctx.INI_balloon_tips);
    EXPECT_FALSE(ctx.INI_on_demand);
    EXPECT_FALSE(ctx.INI_force_uiexe);
    EXPECT_EQ(ctx.INI_log, 0);
    EXPECT_EQ(ctx.INI_uiexe, "");
    EXPECT_TRUE(file.writes.empty());
}

TEST(ReadSettingsTest, ReadsEveryKeyFromItsSection) {
    FakeSettingsFile file;
    file.Put(kIni, "MISC", "Tray_Icon", "0");
    file.Put(kIni, "misc", "balloon_tips", "1");
    file.Put(kIni, "misc", "on_demand", "true");
    file.Put(kIni, "misc", "force_uiexe", "5");
    file.Put(kIni, "misc", "log", "2");
    file.Put(kIni, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"D:\\H\\hamachi-2-ui.exe\"");
    // Keys in the wrong section or another file are not the settings.
    file.Put(kIni, "misc", "uiexe", "wrong");
    file.Put("C:\\other.ini", "misc", "log", "1");
    RunContext ctx;
    ReadSettings(file, kIni, ctx);
    EXPECT_FALSE(ctx.INI_tray_icon);
    EXPECT_TRUE(ctx.INI_balloon_tips);
    EXPECT_TRUE(ctx.INI_on_demand);
    EXPECT_TRUE(ctx.INI_force_uiexe);
    EXPECT_EQ(ctx.INI_log, 2);
    EXPECT_EQ(ctx.INI_uiexe, "\"D:\\H\\hamachi-2-ui.exe\"");
}

TEST(ReadSettingsTest, EmptyOrUnreadableValuesFallBackToTheKeysDefault) {
    FakeSettingsFile file;
    file.Put(kIni, "misc", "tray_icon", "");
    file.Put(kIni, "misc", "balloon_tips", "sometimes");
    file.Put(kIni, "misc", "on_demand", "");
    file.Put(kIni, "misc", "force_uiexe", "-");
    file.Put(kIni, "misc", "log", "70000");
    RunContext ctx;
    ReadSettings(file, kIni, ctx);
    EXPECT_TRUE(ctx.INI_tray_icon);
    EXPECT_FALSE(ctx.INI_balloon_tips);
    EXPECT_FALSE(ctx.INI_on_demand);
    EXPECT_FALSE(ctx.INI_force_uiexe);
    EXPECT_EQ(ctx.INI_log, 0);
}

TEST(ReadSettingsTest, LongValuesAreCutTo1023Characters) {
    FakeSettingsFile file;
    file.Put(kIni, "DONT_CHANGE_ANYTHING_HERE", "uiexe", std::string(1500, 'x'));
    RunContext ctx;
    ReadSettings(file, kIni, ctx);
    EXPECT_EQ(ctx.INI_uiexe, std::string(1023, 'x'));
}

}  // namespace
}  // namespace tunlatch
