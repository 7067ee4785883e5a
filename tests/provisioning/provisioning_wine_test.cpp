// DownloadDevcon on the Win32 download, file and zip modules: DevCon-shaped archives fetched
// from a file:// address and extracted by Info-ZIP's genuine unzip32.dll of each generation.
#include <gtest/gtest.h>

#include "provisioning/download_devcon.h"
#include "system/win32/download.h"
#include "system/win32/files.h"
#include "system/win32/unzip_dll.h"
#include "tests/fakes/fake_system.h"
#include "tests/system/failure.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::test {
namespace {

// The library under bin\infozip, the archive under bin\devcon_archives.
class DownloadDevconOnWine : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {
};

// The archive with an encrypted member has the members the install needs in the clear: the
// password nobody gives skips only the encrypted one, and the library's report is no failure.
// The work folder goes with the whole tree extracted into it.
TEST_P(DownloadDevconOnWine, InstallsWhatTheLibraryExtracts) {
    const auto [dll, archive] = GetParam();
    ScratchFolder folder;
    ::CopyFileA((BinFolder() + "infozip\\" + dll).c_str(), (folder / "unzip32.dll").c_str(), FALSE);
    FakeSystem fakes;
    win32::Win32FileSystem files;
    win32::Win32Download download;
    win32::Win32Unzip unzip(folder / "unzip32.dll", fakes.dialogs);
    SystemModules modules{fakes.services, fakes.processes, fakes.registry, fakes.os,      files,
                          fakes.settings, fakes.clock,     fakes.tray,     fakes.dialogs, download,
                          unzip,          fakes.host,      fakes.access,   fakes.devices};
    RunContext ctx;
    ctx.ProgramDir = folder.path + "\\";
    ctx.WorkFolder = folder / "tunlatch.tmp";
    ctx.OsInfo.Architecture = "x86";
    ctx.DevconArchiveUrl = "file:///" + BinFolder() + "devcon_archives\\" + archive;
    RunLog log(0, fakes.clock);
    tunlatch::Run run{ctx, modules, log};
    DownloadDevcon(run);
    EXPECT_EQ(log.ErrorCount(), 0);
    EXPECT_EQ(files.FileLength(folder / "devcon.exe").value_or(0), 55808u);
    EXPECT_TRUE(files.FileExists(folder / "devcon_eula.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "tunlatch.tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Generations, DownloadDevconOnWine,
    ::testing::Combine(::testing::Values("unzip32-5.52.dll", "unzip32-6.0.dll"),
                       ::testing::Values("devcon_vendor.exe", "devcon_encrypted.exe")),
    [](const auto& info) {
        std::string name = std::get<0>(info.param);
        name.append("_").append(std::get<1>(info.param));
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

// A library that cannot be loaded or is not Info-ZIP's extracts nothing and says why.
TEST(UnzipOnWine, ToldApartFromAFailedExtraction) {
    ScratchFolder folder;
    FakeDialogs dialogs;
    using Kind = ZipFailure::Kind;
    const auto unzip = [&](const std::string& dll, const std::string& archive) {
        return Failure(win32::Win32Unzip(dll, dialogs).UnzipArchive(archive, folder.path));
    };
    EXPECT_EQ(unzip(folder / "unzip32.dll", "a.zip"),
              (ZipFailure{Kind::NotLoaded, ERROR_MOD_NOT_FOUND, {}}));
    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, MAX_PATH);
    const auto other = unzip(std::string(system) + "\\netapi32.dll", "a.zip");
    EXPECT_TRUE(other && other->kind == Kind::NotZipLibrary);
    EXPECT_EQ(unzip(BinFolder() + "unzip32.dll", folder / "none.zip"),
              (ZipFailure{Kind::Failed, 9, {}}));
}

}  // namespace
}  // namespace tunlatch::test
