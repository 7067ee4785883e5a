// DownloadDevcon on the Win32 download, file and zip modules: the stand-in archive fetched from
// a file:// address and extracted by the stand-in unzip32.dll, and a closed loopback port.
#include <gtest/gtest.h>

#include "provisioning/download_devcon.h"
#include "system/win32/download.h"
#include "system/win32/files.h"
#include "system/win32/unzip_dll.h"
#include "tests/fakes/fake_system.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::test {
namespace {

TEST(DownloadDevconOnWine, InstallsFromAFileAddressAndFailsOnAClosedPort) {
    // Port 9 (discard) is closed on an ordinary machine; were it open, its answer would not be
    // the archive either.
    const std::tuple<std::string, int, std::uint64_t> cases[] = {
        {"file:///" + BinFolder() + "devcon_archives\\devcon_vendor.exe", 0, 55808},
        {"http://127.0.0.1:9/devcon.exe", 1, 0},
    };
    for (const auto& [url, errors, installedLength] : cases) {
        ScratchFolder folder;
        ::CopyFileA((BinFolder() + "unzip32.dll").c_str(), (folder / "unzip32.dll").c_str(), FALSE);
        FakeSystem fakes;
        win32::Win32FileSystem files;
        win32::Win32Download download;
        win32::Win32Unzip unzip(folder / "unzip32.dll", fakes.dialogs);
        SystemModules modules{fakes.services, fakes.processes, fakes.registry, fakes.os,
                              files,          fakes.settings,  fakes.clock,    fakes.tray,
                              fakes.dialogs,  download,        unzip,          fakes.host,
                              fakes.access,   fakes.devices};
        RunContext ctx;
        ctx.ProgramDir = folder.path + "\\";
        ctx.WorkFolder = folder / "tunlatch.tmp";
        ctx.OsInfo.Architecture = "x86";
        ctx.DevconArchiveUrl = url;
        RunLog log(0, fakes.clock);
        tunlatch::Run run{ctx, modules, log};
        DownloadDevcon(run);
        EXPECT_EQ(log.ErrorCount(), errors) << url;
        EXPECT_EQ(files.FileLength(folder / "devcon.exe").value_or(0), installedLength) << url;
    }
}

}  // namespace
}  // namespace tunlatch::test
