// The settings file module against Wine's private-profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/win32/settings_file.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& defaultValue) {
        return settings_.ReadINI(path_, section, key, defaultValue);
    }

    Win32SettingsFile settings_;
    ScratchFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string path_ = folder_ / "tunlatch.ini";
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefault) {
    EXPECT_EQ(Read("misc", "tray_icon", "1"), "1");
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", ""), "");
    EXPECT_FALSE(::GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFileTest, ValuesFollowTheFormatsRules) {
    WriteBytes(path_,
               "[MISC]\r\n"
               "Tray_Icon=0\r\n"
               "empty=\r\n"
               "quoted=\"C:\\Program Files\\ui.exe\" --auto-start\r\n"
               "wholly=\"  inside blanks  \"\r\n"
               "spaced =   padded value   \r\n"
               "[other]\r\n"
               "log=2\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        const char* value;
    } const cases[] = {
        {"misc", "tray_icon", "1", "0"},
        {"Misc", "TRAY_ICON", "1", "0"},
        {"misc", "missing", "1", "1"},
        {"misc", "missing", "", ""},
        {"misc", "empty", "1", ""},
        {"misc", "quoted", "", "\"C:\\Program Files\\ui.exe\" --auto-start"},
        {"misc", "wholly", "", "  inside blanks  "},
        {"misc", "spaced", "", "padded value"},
        {"misc", "log", "0", "0"},
        {"other", "log", "0", "2"},
        {"missing", "log", "7", "7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.section, c.key, c.defaultValue), c.value) << c.section << "/" << c.key;
}

TEST_F(SettingsFileTest, LongValuesAreCutTo1023Characters) {
    const std::string value(1500, 'v');
    WriteBytes(path_, "[DONT_CHANGE_ANYTHING_HERE]\r\nuiexe=" + value + "\r\n");
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", ""), std::string(1023, 'v'));
}

TEST_F(SettingsFileTest, WriteCreatesFileAndSectionAndKeepsOtherKeys) {
    EXPECT_TRUE(settings_.WriteINI(path_, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"C:\\ui.exe\""));
    EXPECT_TRUE(settings_.WriteINI(path_, "misc", "log", "2"));
    EXPECT_TRUE(settings_.WriteINI(path_, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"D:\\ui.exe\""));
    EXPECT_EQ(Read("dont_change_anything_here", "UIEXE", ""), "D:\\ui.exe");
    EXPECT_EQ(Read("misc", "log", "0"), "2");
    const std::string text = ReadBytes(path_);
    EXPECT_NE(text.find("[DONT_CHANGE_ANYTHING_HERE]"), std::string::npos) << text;
    EXPECT_NE(text.find("[misc]"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, WriteIntoAMissingFolderFails) {
    EXPECT_FALSE(settings_.WriteINI(folder_ / "missing\\tunlatch.ini", "misc", "log", "1"));
}

}  // namespace
}  // namespace tunlatch::win32
