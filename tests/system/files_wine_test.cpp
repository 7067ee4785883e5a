// The file module against Wine's file system, in a scratch folder per test.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/win32/files.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

using namespace std::string_literals;

class FilesTest : public ::testing::Test {
protected:
    Win32FileSystem files_;
    ScratchFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(FilesTest, ExistenceTellsFilesFromFolders) {
    WriteBytes(folder_ / "file.txt", "x");
    ::CreateDirectoryA((folder_ / "sub").c_str(), nullptr);
    struct Case {
        std::string path;
        bool file, folder;
    } const cases[] = {
        {folder_ / "file.txt", true, false},
        {folder_ / "sub", false, true},
        {folder_.path(), false, true},
        {folder_ / "missing.txt", false, false},
        {folder_ / "missing\\deeper.txt", false, false},
        {"C:\\", false, true},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(files_.FileExists(c.path), c.file) << c.path;
        EXPECT_EQ(files_.FolderExists(c.path), c.folder) << c.path;
    }
}

TEST_F(FilesTest, ShellDeleteRemovesAWholeTree) {
    const std::string tree = folder_ / "tree";
    ::CreateDirectoryA(tree.c_str(), nullptr);
    ::CreateDirectoryA((tree + "\\a").c_str(), nullptr);
    ::CreateDirectoryA((tree + "\\a\\b").c_str(), nullptr);
    ::CreateDirectoryA((tree + "\\empty").c_str(), nullptr);
    WriteBytes(tree + "\\top.txt", "1");
    WriteBytes(tree + "\\a\\mid.txt", "2");
    WriteBytes(tree + "\\a\\b\\deep.bin", std::string(5000, 'z'));

    EXPECT_TRUE(files_.ShellDelete(tree));
    EXPECT_FALSE(files_.FolderExists(tree));
    EXPECT_TRUE(files_.FolderExists(folder_.path()));
}

TEST_F(FilesTest, ShellDeleteRemovesOneFileAndLeavesItsNeighbours) {
    WriteBytes(folder_ / "gone.txt", "1");
    WriteBytes(folder_ / "kept.txt", "2");
    EXPECT_TRUE(files_.ShellDelete(folder_ / "gone.txt"));
    EXPECT_FALSE(files_.FileExists(folder_ / "gone.txt"));
    EXPECT_TRUE(files_.FileExists(folder_ / "kept.txt"));
}

TEST_F(FilesTest, ShellDeleteOfAMissingPathFails) {
    EXPECT_FALSE(files_.ShellDelete(folder_ / "missing"));
    EXPECT_FALSE(files_.ShellDelete(folder_ / "missing\\deeper.txt"));
}

TEST_F(FilesTest, FileLengthOfFilesOnly) {
    WriteBytes(folder_ / "five.bin", std::string("ab\0de", 5));
    WriteBytes(folder_ / "empty.bin", "");
    EXPECT_EQ(files_.FileLength(folder_ / "five.bin"), 5u);
    EXPECT_EQ(files_.FileLength(folder_ / "empty.bin"), 0u);
    EXPECT_EQ(files_.FileLength(folder_ / "missing.bin"), std::nullopt);
    EXPECT_EQ(files_.FileLength(folder_.path()), std::nullopt);
}

TEST_F(FilesTest, ReadFileRangeStopsAtTheEnd) {
    const std::string path = folder_ / "digits.bin";
    WriteBytes(path, std::string("0123\0"
                                 "56789",
                                 10));
    struct Case {
        std::uint64_t offset;
        std::uint32_t count;
        std::string bytes;
    } const cases[] = {
        {0, 10,
         std::string("0123\0"
                     "56789",
                     10)},
        {2, 3, "23"s + '\0'},
        {8, 10, "89"},
        {10, 4, ""},
        {20, 4, ""},
        {3, 0, ""},
        {1, 0xFFFFFFFFu,
         std::string("123\0"
                     "56789",
                     9)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(files_.ReadFileRange(path, c.offset, c.count), c.bytes) << c.offset;
    EXPECT_EQ(files_.ReadFileRange(folder_ / "missing.bin", 0, 4), std::nullopt);
    EXPECT_EQ(files_.ReadFileRange(folder_.path(), 0, 4), std::nullopt);
}

TEST_F(FilesTest, CopyFileToReplaces) {
    const std::string from = folder_ / "from.txt";
    const std::string to = folder_ / "to.txt";
    WriteBytes(from, "new");
    WriteBytes(to, "old");
    EXPECT_TRUE(files_.CopyFileTo(from, to));
    EXPECT_EQ(ReadBytes(to), "new");

    EXPECT_FALSE(files_.CopyFileTo(folder_ / "missing.txt", to));
    EXPECT_FALSE(files_.CopyFileTo(from, folder_ / "missing\\to.txt"));
}

TEST_F(FilesTest, CreateFolderMakesOneLevel) {
    EXPECT_TRUE(files_.CreateFolder(folder_ / "new"));
    EXPECT_TRUE(files_.FolderExists(folder_ / "new"));
    EXPECT_FALSE(files_.CreateFolder(folder_ / "new"));
    EXPECT_FALSE(files_.CreateFolder(folder_ / "missing\\new"));
}

TEST_F(FilesTest, OpenForAppendAddsCrLfLinesAfterEarlierContent) {
    const std::string path = folder_ / "run.log";
    WriteBytes(path, "earlier run\r\n");
    {
        const auto log = files_.OpenForAppend(path);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(log->AppendLine("first"));
        EXPECT_TRUE(log->AppendLine(""));
        // Others may read the log while the run keeps it open.
        EXPECT_EQ(ReadBytes(path), "earlier run\r\nfirst\r\n\r\n");
        EXPECT_TRUE(log->AppendLine("second"));
    }
    const auto again = files_.OpenForAppend(path);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->AppendLine("next run"));
    EXPECT_EQ(ReadBytes(path), "earlier run\r\nfirst\r\n\r\nsecond\r\nnext run\r\n");
}

TEST_F(FilesTest, OpenForAppendCreatesAMissingFile) {
    const std::string path = folder_ / "new.log";
    {
        const auto log = files_.OpenForAppend(path);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(files_.FileExists(path));
        EXPECT_TRUE(log->AppendLine("only"));
    }
    EXPECT_EQ(ReadBytes(path), "only\r\n");
}

TEST_F(FilesTest, OpenForAppendHandleIsNotInheritable) {
    const auto log = files_.OpenForAppend(folder_ / "run.log");
    ASSERT_NE(log, nullptr);
    const auto* file = dynamic_cast<const Win32AppendFile*>(log.get());
    ASSERT_NE(file, nullptr);
    DWORD flags = 0;
    ASSERT_TRUE(::GetHandleInformation(file->NativeHandle(), &flags));
    EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
}

TEST_F(FilesTest, OpenForAppendFailsWhereNoFileCanBe) {
    EXPECT_EQ(files_.OpenForAppend(folder_ / "missing\\run.log"), nullptr);
    EXPECT_EQ(files_.OpenForAppend(folder_.path()), nullptr);
}

}  // namespace
}  // namespace tunlatch::win32
