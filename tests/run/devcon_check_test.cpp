#include "run/devcon_check.h"

#include <gtest/gtest.h>

#include "run/pe_machine.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/pe_image.h"

namespace tunlatch {
namespace {

using test::PeImage;
constexpr const char* kTool = "C:\\Tools\\Tunlatch\\devcon.exe";

TEST(CheckDevconTest, AnswersForArchitectureAndFile) {
    constexpr auto kRight = DevconCheck::Right;
    constexpr auto kWrong = DevconCheck::WrongBuild;
    constexpr auto kNoBuild = DevconCheck::NoBuildForArch;
    std::string notPe = PeImage(kMachineAmd64, 200);
    notPe[0x80] = 'X';
    const struct {
        const char* architecture;
        std::optional<std::string> tool;  // nullopt: no file
        DevconCheck expected;
    } cases[] = {
        {"x86", std::nullopt, DevconCheck::Missing},
        {"x64", std::nullopt, DevconCheck::Missing},
        {"Itanium", std::nullopt, DevconCheck::Missing},
        // x86 goes by the size alone.
        {"x86", std::string(55808, 'x'), kRight},
        {"x86", PeImage(kMachineI386, 55807), kWrong},
        {"x86", PeImage(kMachineI386, 55809), kWrong},
        // x64 goes by the machine word alone.
        {"x64", PeImage(kMachineAmd64, 40000), kRight},
        {"x64", PeImage(kMachineIa64, 92672), kWrong},
        {"x64", PeImage(kMachineI386, 55808), kWrong},
        {"x64", std::string(92672, 'x'), kWrong},
        {"x64", "MZ", kWrong},
        {"x64", notPe, kWrong},
        {"Itanium", PeImage(kMachineIa64, 92672), kNoBuild},
        {"X86", PeImage(kMachineI386, 55808), kNoBuild},
        {"", PeImage(kMachineI386, 55808), kNoBuild},
    };
    for (const auto& c : cases) {
        FakeFileSystem files;
        if (c.tool) files.files[kTool] = *c.tool;
        // Only the program's own folder counts.
        files.files["C:\\Tools\\devcon.exe"] = PeImage(kMachineAmd64, 55808);
        RunContext ctx;
        ctx.ProgramDir = "C:\\Tools\\Tunlatch\\";
        ctx.OsInfo.Architecture = c.architecture;
        EXPECT_EQ(CheckDevcon(ctx, files), c.expected)
            << c.architecture << " " << (c.tool ? c.tool->size() : 0);
    }
}

TEST(MachineForArchitectureTest, NamesTheMachineOfEachArchitectureText) {
    EXPECT_EQ(MachineForArchitecture("x86"), kMachineI386);
    EXPECT_EQ(MachineForArchitecture("x64"), kMachineAmd64);
    EXPECT_EQ(MachineForArchitecture("Itanium"), kMachineIa64);
    EXPECT_EQ(MachineForArchitecture("Unknown"), std::nullopt);
}

}  // namespace
}  // namespace tunlatch
