// The values start-up derives from the settings file and the registry.
#include "switch/settings.h"

#include <gtest/gtest.h>

#include "switch/startup_rules.h"
#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

const std::string kIni = "C:\\Tools\\Tunlatch\\tunlatch.ini";

TEST(SettingsTest, BooleansAreDecimalNumbersOrTrueAndFalse) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"1", true},      {"0", false}, {"-1", true},    {"0.0", false}, {".5", true},
        {"1e3", true},    {"1.x", {}},  {"0E-7", false}, {" 1\t", true}, {"tRUE", true},
        {"FALSE", false}, {"", {}},     {" ", {}},       {"yes", {}},    {"1x", {}},
        {"1e", {}},       {".", {}},    {"-", {}},       {"0x1", {}},    {"inf", {}},
        {"truefalse", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(SettingBoolean(text), value) << text;
}

TEST(SettingsTest, LogLevelIsAWholeNumberOfSixteenBits) {
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"2", 2},      {"-1", -1},       {"+2", 2},
        {" 002 ", 2},  {"32767", 32767}, {"-32768", -32768},
        {"32768", {}}, {"-32769", {}},   {"99999999999999999999", {}},
        {"", {}},      {"-", {}},        {"2.0", {}},
        {"two", {}},   {"2 2", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(SettingLogLevel(text), value) << text;
}

TEST(SettingsTest, EveryKeyFromItsSectionAndItsDefaultForWhatIsMissingOrUnreadable) {
    FakeSettingsFile file;
    file.Put(kIni, "MISC", "Tray_Icon", "0");
    file.Put(kIni, "misc", "balloon_tips", "1");
    file.Put(kIni, "misc", "on_demand", "sometimes");
    file.Put(kIni, "misc", "force_uiexe", "5");
    file.Put(kIni, "misc", "log", "2");
    file.Put(kIni, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"D:\\ui.exe\"");
    file.Put(kIni, "misc", "uiexe", "wrong section");
    RunContext ctx;
    ReadSettings(file, kIni, ctx);
    EXPECT_FALSE(ctx.INI_tray_icon);
    EXPECT_TRUE(ctx.INI_balloon_tips);
    EXPECT_FALSE(ctx.INI_on_demand);
    EXPECT_TRUE(ctx.INI_force_uiexe);
    EXPECT_EQ(ctx.INI_log, 2);
    EXPECT_EQ(ctx.INI_uiexe, "\"D:\\ui.exe\"");

    RunContext defaults;
    defaults.INI_tray_icon = false;
    defaults.INI_log = 9;
    FakeSettingsFile none;
    ReadSettings(none, kIni, defaults);
    EXPECT_TRUE(defaults.INI_tray_icon);
    EXPECT_EQ(defaults.INI_log, 0);
}

TEST(StartupRulesTest, VersionAndProgramFolder) {
    EXPECT_EQ(VersionText({10, 20, 99, 300}), "10.20.300");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Tools\\Tunlatch"), "C:\\Tools\\Tunlatch\\");
}

TEST(StartupRulesTest, UiCommandFromTheInstallationFolder) {
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {"C:\\Program Files (x86)\\LogMeIn Hamachi",
         "\"C:\\Program Files (x86)\\LogMeIn Hamachi\\hamachi-2-ui.exe\" --auto-start"},
        {"\"C:\\Ha\"ma\"chi\\\"", "\"C:\\Hamachi\\hamachi-2-ui.exe\" --auto-start"},
        {"\\\\nas\\apps", "\"\\\\nas\\apps\\hamachi-2-ui.exe\" --auto-start"},
        {"", ""},
        {"\"\"", ""},
        {"\\", ""},
        {"C:Hamachi", ""},
        {std::nullopt, ""}};
    for (const auto& [folder, command] : cases)
        EXPECT_EQ(UiCommandFromInstallDir(folder), command) << folder.value_or("(none)");
}

// The lowest bit of the leading number, rounded to the nearest whole number, ties to even.
TEST(StartupRulesTest, UacActiveFromTheEnableLuaText) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true},      {"0", false},
        {"", false},      {"2", false},
        {"-1", true},     {"4294967295", true},
        {"0.5", false},   {"1.5", false},
        {"2.5", false},   {"0.6", true},
        {"2.51", true},   {"1.4", true},
        {"-1.5", false},  {"-0.6", true},
        {"1e0", true},    {"1abc", true},
        {" 1 1", true},   {"abc1", false},
        {"-", false},     {"99999999999999999999999999999", false},
        {"1e400", false}, {"-1e400", false}};
    for (const auto& [text, active] : cases) EXPECT_EQ(UacActiveFromText(text), active) << text;
}

}  // namespace
}  // namespace tunlatch
