// The values start-up derives from the settings file and the registry.
#include "switch/settings.h"

#include <gtest/gtest.h>

#include "components/ui_command.h"
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
        {"2", 2},         {"-1", -1},         {"+2", 2},     {"19", 19},     {" 002 ", 2},
        {"32767", 32767}, {"-32768", -32768}, {"32768", {}}, {"-32769", {}}, {"", {}},
        {"-", {}},        {"2.0", {}},        {"two", {}},   {"2 2", {}}};
    for (const auto& [text, value] : cases) EXPECT_EQ(SettingLogLevel(text), value) << text;
    EXPECT_EQ(SettingLogLevel(std::string(20, '9')), std::nullopt);
}

// The lowest bit of the leading number, rounded to the nearest whole number, ties to even.
TEST(StartupRulesTest, UacActiveFromTheEnableLuaText) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true},          {"0", false},   {"", false},     {"2", false},   {"-1", true},
        {"4294967295", true}, {"0.5", false}, {"1.5", false},  {"2.5", false}, {"0.6", true},
        {"2.51", true},       {"1.4", true},  {"-1.5", false}, {"-0.6", true}, {"1e0", true},
        {"1abc", true},       {" 1 1", true}, {"abc1", false}, {"-", false},   {"1e400", false},
        {"-1e400", false}};
    for (const auto& [text, active] : cases) EXPECT_EQ(UacActiveFromText(text), active) << text;
    EXPECT_FALSE(UacActiveFromText(std::string(29, '9')));
}

TEST(UiCommandTest, OnlyDriveAndNetworkPathsAreFull) {
    for (const char* path : {"C:\\x", "c:/x", "A:\\", "Z:\\", "a:\\", "z:\\", "\\\\server\\share"})
        EXPECT_TRUE(IsFullPath(path)) << path;
    for (const char* path : {"", "x", "\\x", "C:x", "C:", "\\\\", "\\\\\\x", "1:\\x", "x\\y"})
        EXPECT_FALSE(IsFullPath(path)) << path;
}

}  // namespace
}  // namespace tunlatch
