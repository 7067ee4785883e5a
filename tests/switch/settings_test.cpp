// The values start-up derives from the settings file and the registry.
#include "switch/settings.h"

#include <gtest/gtest.h>

#include "switch/startup_rules.h"

namespace tunlatch {
namespace {

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
        {"2", 2},           {"-1", -1},
        {"+2", 2},          {"19", 19},
        {" 002 ", 2},       {"32767", 32767},
        {"-32768", -32768}, {"32768", {}},
        {"-32769", {}},     {"99999999999999999999", {}},
        {"", {}},           {"-", {}},
        {"2.0", {}},        {"two", {}},
        {"2 2", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(SettingLogLevel(text), value) << text;
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
