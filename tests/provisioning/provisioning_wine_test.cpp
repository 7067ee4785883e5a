// DownloadDevcon on the Win32 download, file and zip modules: DevCon-shaped archives fetched
// from a file:// address and extracted by Info-ZIP's genuine unzip32.dll of each generation,
// and a closed loopback port.
#include <gtest/gtest.h>

#include "provisioning/download_devcon.h"
#include "system/win32/download.h"
#include "system/win32/files.h"
#include "system/win32/unzip_dll.h"
#include "tests/fakes/fake_system.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::test {
namespace {

struct Extraction {
    std::string dll;      // under bin\infozip
    std::string archive;  // under bin\devcon_archives; empty for the closed port
    int errors;
    std::uint64_t installedLength;
};

void PrintTo(const Extraction& the, std::ostream* out) {
    *out << the.dll << " " << (the.archive.empty() ? "closed port" : the.archive);
}

class DownloadDevconOnWine : public ::testing::TestWithParam<Extraction> {};

// The archive with an encrypted member has the members the install needs in the clear: the
// password nobody gives skips only the encrypted one, and the library's report is no failure.
TEST_P(DownloadDevconOnWine, InstallsWhatTheLibraryExtracts) {
    const Extraction& the = GetParam();
    ScratchFolder folder;
    ::CopyFileA((BinFolder() + "infozip\\" + the.dll).c_str(), (folder / "unzip32.dll").c_str(),
                FALSE);
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
    // Port 9 (discard) is closed on an ordinary machine; were it open, its answer would not be
    // the archive either.
    ctx.DevconArchiveUrl = the.archive.empty()
                               ? "http://127.0.0.1:9/devcon.exe"
                               : "file:///" + BinFolder() + "devcon_archives\\" + the.archive;
    RunLog log(0, fakes.clock);
    tunlatch::Run run{ctx, modules, log};
    DownloadDevcon(run);
    EXPECT_EQ(log.ErrorCount(), the.errors);
    EXPECT_EQ(files.FileLength(folder / "devcon.exe").value_or(0), the.installedLength);
    EXPECT_EQ(files.FileExists(folder / "devcon_eula.txt"), the.installedLength != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Generations, DownloadDevconOnWine,
    ::testing::Values(Extraction{"unzip32-5.52.dll", "devcon_vendor.exe", 0, 55808},
                      Extraction{"unzip32-5.52.dll", "devcon_encrypted.exe", 0, 55808},
                      Extraction{"unzip32-6.0.dll", "devcon_vendor.exe", 0, 55808},
                      Extraction{"unzip32-6.0.dll", "devcon_encrypted.exe", 0, 55808},
                      Extraction{"unzip32-6.0.dll", "", 1, 0}),
    [](const auto& info) {
        std::string name = info.param.dll + "_" +
                           (info.param.archive.empty() ? "closed_port" : info.param.archive);
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// A library that cannot be loaded or is not Info-ZIP's extracts nothing and says why.
TEST(UnzipOnWine, ToldApartFromAFailedExtraction) {
    ScratchFolder folder;
    FakeDialogs dialogs;
    const auto missing =
        win32::Win32Unzip(folder / "unzip32.dll", dialogs).UnzipArchive("a.zip", folder.path);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, ZipFailure::Kind::NotLoaded);
    EXPECT_EQ(missing.error().code, static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));

    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, MAX_PATH);
    const auto other = win32::Win32Unzip(std::string(system) + "\\netapi32.dll", dialogs)
                           .UnzipArchive("a.zip", folder.path);
    ASSERT_FALSE(other.ok());
    EXPECT_EQ(other.error().kind, ZipFailure::Kind::NotZipLibrary);

    const auto noArchive = win32::Win32Unzip(BinFolder() + "unzip32.dll", dialogs)
                               .UnzipArchive(folder / "none.zip", folder.path);
    ASSERT_FALSE(noArchive.ok());
    EXPECT_EQ(noArchive.error(), (ZipFailure{ZipFailure::Kind::Failed, 9, {}}));
}

}  // namespace
}  // namespace tunlatch::test
