#include "run/devcon_check.h"

#include <gtest/gtest.h>

#include <optional>

#include "run/pe_machine.h"
#include "tests/fakes/files_fake.h"
#include "tests/provisioning/pe_image.h"

namespace tunlatch {
namespace {

using test::PeImage;

constexpr const char* kProgramDir = "C:\\Tools\\Tunlatch\\";
constexpr const char* kTool = "C:\\Tools\\Tunlatch\\devcon.exe";

struct CheckCase {
    const char* what;
    const char* architecture;
    std::optional<std::string> tool;  // nullopt: no file
    DevconCheck expected;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.what;
}

class CheckDevconTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckDevconTest, AnswersForArchitectureAndFile) {
    const CheckCase& c = GetParam();
    FakeFileSystem files;
    if (c.tool) files.files[kTool] = *c.tool;
    RunContext ctx;
    ctx.ProgramDir = kProgramDir;
    ctx.OsInfo.Architecture = c.architecture;
    EXPECT_EQ(CheckDevcon(ctx, files), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckDevconTest,
    testing::Values(
        CheckCase{"missing on x86", "x86", std::nullopt, DevconCheck::Missing},
        CheckCase{"missing on x64", "x64", std::nullopt, DevconCheck::Missing},
        CheckCase{"missing on Itanium", "Itanium", std::nullopt, DevconCheck::Missing},
        CheckCase{"x86 build", "x86", PeImage(kMachineI386, 55808), DevconCheck::Right},
        CheckCase{"x86 one byte short", "x86", PeImage(kMachineI386, 55807),
                  DevconCheck::WrongBuild},
        CheckCase{"x86 one byte long", "x86", PeImage(kMachineI386, 55809),
                  DevconCheck::WrongBuild},
        CheckCase{"x86 judged by size alone", "x86", std::string(55808, 'x'), DevconCheck::Right},
        CheckCase{"Itanium build on x86", "x86", PeImage(kMachineIa64, 92672),
                  DevconCheck::WrongBuild},
        CheckCase{"AMD64 build of any size", "x64", PeImage(kMachineAmd64, 40000),
                  DevconCheck::Right},
        CheckCase{"AMD64 build of the Itanium size", "x64", PeImage(kMachineAmd64, 92672),
                  DevconCheck::Right},
        CheckCase{"Itanium build of the old x64 size", "x64", PeImage(kMachineIa64, 92672),
                  DevconCheck::WrongBuild},
        CheckCase{"x86 build on x64", "x64", PeImage(kMachineI386, 55808), DevconCheck::WrongBuild},
        CheckCase{"no program file on x64", "x64", std::string(92672, 'x'),
                  DevconCheck::WrongBuild},
        CheckCase{"empty file on x64", "x64", std::string(), DevconCheck::WrongBuild},
        CheckCase{"Itanium whatever the file", "Itanium", PeImage(kMachineIa64, 92672),
                  DevconCheck::NoBuildForArch},
        CheckCase{"Unknown", "Unknown", PeImage(kMachineI386, 55808), DevconCheck::NoBuildForArch},
        CheckCase{"empty text", "", PeImage(kMachineI386, 55808), DevconCheck::NoBuildForArch},
        CheckCase{"letter case counts", "X86", PeImage(kMachineI386, 55808),
                  DevconCheck::NoBuildForArch},
        CheckCase{"no trimming", "x64 ", PeImage(kMachineAmd64, 55808),
                  DevconCheck::NoBuildForArch}));

TEST(CheckDevconFolder, FolderOfTheToolNameIsNotFound) {
    FakeFileSystem files;
    files.folders.insert(kTool);
    RunContext ctx;
    ctx.ProgramDir = kProgramDir;
    for (const char* arch : {"x86", "x64", "Itanium"}) {
        ctx.OsInfo.Architecture = arch;
        EXPECT_EQ(CheckDevcon(ctx, files), DevconCheck::Missing) << arch;
    }
}

TEST(CheckDevconPath, LooksOnlyBesideTheProgram) {
    FakeFileSystem files;
    files.files["C:\\Tools\\devcon.exe"] = PeImage(kMachineI386, 55808);
    files.files["C:\\Tools\\Tunlatch\\sub\\devcon.exe"] = PeImage(kMachineI386, 55808);
    RunContext ctx;
    ctx.ProgramDir = kProgramDir;
    ctx.OsInfo.Architecture = "x86";
    EXPECT_EQ(CheckDevcon(ctx, files), DevconCheck::Missing);
}

struct PeCase {
    const char* what;
    std::string file;
    std::optional<std::uint16_t> expected;
};

std::string WithPeOffset(std::string image, std::uint32_t offset) {
    for (int i = 0; i < 4; ++i) image[0x3c + i] = static_cast<char>(offset >> (8 * i));
    return image;
}

TEST(ReadPeMachine, ReadsTheMachineOrRefuses) {
    const std::string good = PeImage(kMachineAmd64, 1024);
    std::string noMz = good;
    noMz[0] = 'N';
    std::string badSignature = good;
    badSignature[0x81] = 'X';
    const PeCase cases[] = {
        {"i386", PeImage(kMachineI386, 512), kMachineI386},
        {"IA64", PeImage(kMachineIa64, 512), kMachineIa64},
        {"AMD64", good, kMachineAmd64},
        {"header far in the file",
         WithPeOffset(PeImage(0, 0x300), 0x200).replace(0x200, 6, std::string("PE\0\0\x64\x86", 6)),
         kMachineAmd64},
        {"no MZ", noMz, std::nullopt},
        {"no PE signature", badSignature, std::nullopt},
        {"shorter than a DOS header", good.substr(0, 0x3f), std::nullopt},
        {"signature cut off", good.substr(0, 0x84), std::nullopt},
        {"offset past the end", WithPeOffset(good, 0x10000), std::nullopt},
        {"offset near 4 GB", WithPeOffset(good, 0xfffffffc), std::nullopt},
        {"empty", std::string(), std::nullopt},
    };
    for (const PeCase& c : cases) {
        FakeFileSystem files;
        files.files["C:\\a.exe"] = c.file;
        EXPECT_EQ(ReadPeMachine(files, "C:\\a.exe"), c.expected) << c.what;
    }
    FakeFileSystem empty;
    EXPECT_EQ(ReadPeMachine(empty, "C:\\missing.exe"), std::nullopt);
}

TEST(MachineForArchitecture, NamesTheNativeMachine) {
    EXPECT_EQ(MachineForArchitecture("x86"), kMachineI386);
    EXPECT_EQ(MachineForArchitecture("x64"), kMachineAmd64);
    EXPECT_EQ(MachineForArchitecture("Itanium"), kMachineIa64);
    for (const char* other : {"Unknown", "", "X64", "amd64", "x86 "})
        EXPECT_EQ(MachineForArchitecture(other), std::nullopt) << other;
}

}  // namespace
}  // namespace tunlatch
