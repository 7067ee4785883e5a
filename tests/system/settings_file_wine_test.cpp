// The settings file module against Wine's private-profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/win32/settings_file.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    // The run's way of reading: status preset to 0, 1024 characters.
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& defaultValue, std::int32_t size = 1024) {
        status_ = 0;
        return settings_.ReadINI(path_, section, key, defaultValue, status_, size);
    }

    Win32SettingsFile settings_;
    ScratchFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string path_ = folder_ / "tunlatch.ini";
    std::int32_t status_ = -1;
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefault) {
    EXPECT_EQ(Read("misc", "tray_icon", "1"), "1");
    EXPECT_EQ(status_, 0);
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", ""), "");
    EXPECT_EQ(status_, 2);
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
        std::int32_t status;
    } const cases[] = {
        {"misc", "tray_icon", "1", "0", 0},
        {"Misc", "TRAY_ICON", "1", "0", 0},
        {"misc", "missing", "1", "1", 0},
        {"misc", "missing", "", "", 2},
        {"misc", "empty", "1", "", 2},
        {"misc", "quoted", "", "\"C:\\Program Files\\ui.exe\" --auto-start", 0},
        {"misc", "wholly", "", "  inside blanks  ", 0},
        {"misc", "spaced", "", "padded value", 0},
        {"misc", "log", "0", "0", 0},
        {"other", "log", "0", "2", 0},
        {"missing", "log", "7", "7", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.section, c.key, c.defaultValue), c.value) << c.section << "/" << c.key;
        EXPECT_EQ(status_, c.status) << c.section << "/" << c.key;
    }
}

TEST_F(SettingsFileTest, LongValuesAreCutToSizeLessOne) {
    const std::string value(1500, 'v');
    WriteBytes(path_, "[DONT_CHANGE_ANYTHING_HERE]\r\nuiexe=" + value + "\r\n");
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", ""), std::string(1023, 'v'));
    EXPECT_EQ(status_, 0);
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", "", 4), "vvv");
    EXPECT_EQ(Read("DONT_CHANGE_ANYTHING_HERE", "uiexe", "", 1), "");
    EXPECT_EQ(status_, 2);
}

TEST_F(SettingsFileTest, WriteCreatesFileAndSectionAndKeepsOtherKeys) {
    EXPECT_EQ(settings_.WriteINI(path_, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"C:\\ui.exe\""), 0);
    EXPECT_EQ(settings_.WriteINI(path_, "misc", "log", "2"), 0);
    EXPECT_EQ(settings_.WriteINI(path_, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"D:\\ui.exe\""), 0);
    EXPECT_EQ(Read("dont_change_anything_here", "UIEXE", ""), "D:\\ui.exe");
    EXPECT_EQ(Read("misc", "log", "0"), "2");
    const std::string text = ReadBytes(path_);
    EXPECT_NE(text.find("[DONT_CHANGE_ANYTHING_HERE]"), std::string::npos) << text;
    EXPECT_NE(text.find("[misc]"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, WriteIntoAMissingFolderFails) {
    EXPECT_EQ(settings_.WriteINI(folder_ / "missing\\tunlatch.ini", "misc", "log", "1"), 2);
}

}  // namespace
}  // namespace tunlatch::win32
