// Win32Unzip against the stand-in unzip32.dll. The password prompt is answered through a
// Dialogs fake, which also shows that no other box is asked for.
#include "system/win32/unzip_dll.h"

#include <gtest/gtest.h>

#include "tests/fakes/small_fakes.h"
#include "tests/provisioning/wine_test_files.h"

namespace tunlatch::test {
namespace {

using win32::Win32Unzip;

constexpr const char* kTitle = "Tunlatch V1.2.1";

class UnzipDllTest : public testing::Test {
protected:
    void SetUp() override {
        target = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { RemoveTree(target); }

    std::string At(const std::string& name) const { return target + "\\" + name; }
    void Extract(Win32Unzip& unzip, const std::string& archive) {
        unzip.UnzipArchive(ArchivePath(archive), target);
    }

    std::string dll = BinFolder() + "unzip32.dll";
    FakeDialogs dialogs;
    std::string target;
};

TEST_F(UnzipDllTest, KeepsStoredFoldersWithoutAnyWindow) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "folders.exe");
    EXPECT_EQ(ReadWhole(At("top.txt")), "top level\r\n");
    std::string deep;
    for (int i = 0; i < 200; ++i) deep += "deep ";
    EXPECT_EQ(ReadWhole(At("one\\two\\deep.txt")), deep);
    EXPECT_TRUE(IsFolder(At("one\\empty")));
    EXPECT_TRUE(dialogs.inputBoxes.empty());
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(UnzipDllTest, ExtractsTheVendorLayout) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "devcon_vendor.exe");
    EXPECT_EQ(ReadWhole(At("i386\\devcon.exe")).value_or("").size(), 55808u);
    EXPECT_EQ(ReadWhole(At("ia64\\devcon.exe")).value_or("").size(), 92672u);
    EXPECT_TRUE(IsFile(At("eula.txt")));
}

TEST_F(UnzipDllTest, OverwritesExistingFilesSilently) {
    ::CreateDirectoryA(At("one").c_str(), nullptr);
    ::CreateDirectoryA(At("one\\two").c_str(), nullptr);
    WriteWhole(At("top.txt"), "an older and longer text than the member holds");
    WriteWhole(At("one\\two\\deep.txt"), "old");
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "folders.exe");
    EXPECT_EQ(ReadWhole(At("top.txt")), "top level\r\n");
    EXPECT_EQ(ReadWhole(At("one\\two\\deep.txt")).value_or("").size(), 1000u);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(dialogs.inputBoxes.empty());
}

TEST_F(UnzipDllTest, PasswordAnsweredForEachEncryptedMember) {
    dialogs.inputAnswers = {"letmein", "letmein"};
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "encrypted.exe");
    EXPECT_EQ(ReadWhole(At("plain.txt")), "not secret\r\n");
    EXPECT_EQ(ReadWhole(At("secret\\first.txt")), "first secret\r\n");
    EXPECT_EQ(ReadWhole(At("secret\\second.txt")), "second secret\r\n");
    ASSERT_EQ(dialogs.inputBoxes.size(), 2u);
    for (const auto& [prompt, title] : dialogs.inputBoxes) {
        EXPECT_EQ(prompt, "Please Enter The Password!");
        EXPECT_EQ(title, kTitle);
    }
}

TEST_F(UnzipDllTest, WrongPasswordWritesNothingOfThatMember) {
    dialogs.inputAnswers = {"wrong", "letmein"};
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "encrypted.exe");
    EXPECT_FALSE(IsFile(At("secret\\first.txt")));
    EXPECT_EQ(ReadWhole(At("secret\\second.txt")), "second secret\r\n");
    EXPECT_EQ(dialogs.inputBoxes.size(), 2u);
}

TEST_F(UnzipDllTest, EmptyAnswerEndsThePromptsForTheRun) {
    dialogs.inputAnswers = {"", "letmein", "letmein"};
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "encrypted.exe");
    EXPECT_EQ(dialogs.inputBoxes.size(), 1u);
    EXPECT_EQ(ReadWhole(At("plain.txt")), "not secret\r\n");
    EXPECT_FALSE(IsFile(At("secret\\first.txt")));
    EXPECT_FALSE(IsFile(At("secret\\second.txt")));

    // A later extraction of the same run asks no more.
    Extract(unzip, "encrypted.exe");
    EXPECT_EQ(dialogs.inputBoxes.size(), 1u);
    EXPECT_FALSE(IsFile(At("secret\\first.txt")));
}

TEST_F(UnzipDllTest, UnusableLibraryWritesNothing) {
    const std::string folder = FreshFolder("unusable_dlls");
    const std::string notALibrary = folder + "\\unzip32.dll";
    WriteWhole(notALibrary, "this is no library");
    const char* cases[] = {"missing", "not a library", "no UzpVersion2 export"};
    const std::string paths[] = {folder + "\\absent\\unzip32.dll", notALibrary,
                                 BinFolder() + "unzip32_noversion.dll"};
    for (int i = 0; i < 3; ++i) {
        Win32Unzip unzip(paths[i], dialogs, kTitle);
        Extract(unzip, "folders.exe");
        EXPECT_FALSE(IsFile(At("top.txt"))) << cases[i];
    }
    RemoveTree(folder);

    // The same archive extracts with the complete stand-in, so the cases above failed for the
    // library alone.
    Win32Unzip full(dll, dialogs, kTitle);
    Extract(full, "folders.exe");
    EXPECT_TRUE(IsFile(At("top.txt")));
}

TEST_F(UnzipDllTest, DamagedArchiveWritesNothing) {
    Win32Unzip unzip(dll, dialogs, kTitle);
    Extract(unzip, "devcon_damaged.exe");
    EXPECT_FALSE(IsFolder(At("i386")));
    EXPECT_FALSE(IsFile(At("eula.txt")));
}

}  // namespace
}  // namespace tunlatch::test
