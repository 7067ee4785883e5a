// DownloadDevcon end to end with the Win32 modules: the stand-in archives served over loopback
// HTTP, the stand-in unzip32.dll beside a test program folder, and a recorder registered as
// the opener of text files so that opening the licence is seen without an editor.
#include "provisioning/download_devcon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "run/pe_machine.h"
#include "system/win32/download.h"
#include "system/win32/files.h"
#include "system/win32/processes.h"
#include "system/win32/unique_handle.h"
#include "system/win32/unzip_dll.h"
#include "tests/fakes/fake_system.h"
#include "tests/provisioning/loopback_server.h"
#include "tests/provisioning/wine_test_files.h"

namespace tunlatch::test {
namespace {

using testing::ElementsAreArray;
using win32::UniqueKernelHandle;
using win32::UniqueRegKey;

constexpr const char* kStamp = "12/5/2026 07:04:09.031 ";
constexpr const char* kProgId = "tl.recorded.txt";

std::vector<std::string> Framed(std::vector<std::string> inner) {
    inner.insert(inner.begin(), "Download devcon.exe: begin");
    inner.push_back("Download devcon.exe: end");
    return inner;
}

bool SetDefault(HKEY root, const std::string& key, const std::string& value) {
    UniqueRegKey handle;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(handle.get(), nullptr, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> GetDefault(HKEY root, const std::string& key) {
    char value[512];
    DWORD size = sizeof value;
    if (::RegGetValueA(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(value);
}

// Registers the recorder as the opener of .txt files for this test program, and puts the
// prefix's association back afterwards.
class TextOpenerRecorder {
public:
    TextOpenerRecorder()
        : record_(FreshFolder("recorder") + "\\opened.txt"),
          eventName_("tl_open_recorder_" + std::to_string(::GetCurrentProcessId())),
          event_(::CreateEventA(nullptr, TRUE, FALSE, eventName_.c_str())),
          earlier_(GetDefault(HKEY_CLASSES_ROOT, ".txt")) {
        const std::string command = "\"" + BinFolder() + "tl_open_recorder.exe\" \"" + record_ +
                                    "\" \"" + eventName_ + "\" \"%1\"";
        registered_ = SetDefault(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\shell\\open\\command",
                                 command) &&
                      SetDefault(HKEY_CLASSES_ROOT, ".txt", kProgId);
    }
    ~TextOpenerRecorder() {
        if (earlier_)
            SetDefault(HKEY_CLASSES_ROOT, ".txt", *earlier_);
        else
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".txt");
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
        RemoveTree(record_.substr(0, record_.find_last_of('\\')));
    }

    bool Registered() const { return registered_; }
    void Reset() {
        ::DeleteFileA(record_.c_str());
        ::ResetEvent(event_.get());
    }
    // The command lines the recorder was started with; waits for the one start that a caller
    // expects, since the shell starts the opener without waiting for it.
    std::string Opened(bool expectOne) const {
        if (expectOne) ::WaitForSingleObject(event_.get(), 20000);
        return ReadWhole(record_).value_or("");
    }

private:
    std::string record_;
    std::string eventName_;
    UniqueKernelHandle event_;
    std::optional<std::string> earlier_;
    bool registered_ = false;
};

TextOpenerRecorder* recorder = nullptr;

class DownloadDevconWineTest : public testing::Test {
protected:
    static void SetUpTestSuite() { recorder = new TextOpenerRecorder; }
    static void TearDownTestSuite() {
        delete recorder;
        recorder = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(recorder->Registered());
        recorder->Reset();
        root = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        ctx.ProgramDir = root + "\\prog\\";
        ::CreateDirectoryA(ctx.ProgramDir.c_str(), nullptr);
        ::CreateDirectoryA((root + "\\temp").c_str(), nullptr);
        ctx.WorkFolder = root + "\\temp\\tunlatch.tmp";
        ctx.INI_log = 2;
        ctx.OsInfo.Architecture = "x86";
        ::CopyFileA((BinFolder() + "unzip32.dll").c_str(), Prog("unzip32.dll").c_str(), FALSE);
    }
    void TearDown() override { RemoveTree(root); }

    std::string Prog(const std::string& name) const { return ctx.ProgramDir + name; }
    std::int16_t errors = 0;  // of the last run
    std::string Work(const std::string& name) const { return ctx.WorkFolder + "\\" + name; }

    // Runs DownloadDevcon against a server that serves body, or against a closed port.
    std::vector<std::string> RunWith(const std::optional<std::string>& body) {
        std::optional<LoopbackServer> server;
        if (body) {
            server.emplace(*body);
            ctx.DevconArchiveUrl = server->Url("/devcon.exe");
        } else {
            ctx.DevconArchiveUrl =
                "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/devcon.exe";
        }
        const std::string logPath = root + "\\tunlatch.log";
        RunLog log(2, fakes.clock);
        log.Open(files, logPath);
        win32::Win32Unzip unzip(Prog("unzip32.dll"), fakes.dialogs, "Tunlatch");
        SystemModules modules{fakes.services, processes,      fakes.registry, fakes.os,
                              files,          fakes.settings, fakes.clock,    fakes.tray,
                              fakes.dialogs,  download,       unzip,          fakes.host};
        tunlatch::Run run{ctx, modules, log};
        DownloadDevcon(run);
        errors = log.ErrorCount();
        log.Close();

        std::vector<std::string> texts;
        std::istringstream in(ReadWhole(logPath).value_or(""));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            EXPECT_EQ(line.rfind(kStamp, 0), 0u) << line;
            texts.push_back(line.substr(std::string(kStamp).size()));
        }
        ::DeleteFileA(logPath.c_str());
        return texts;
    }
    std::vector<std::string> RunWithArchive(const std::string& name) {
        return RunWith(ReadWhole(ArchivePath(name)).value());
    }

    std::optional<std::uint16_t> InstalledMachine() {
        return ReadPeMachine(files, Prog("devcon.exe"));
    }
    std::uint64_t InstalledLength() { return files.FileLength(Prog("devcon.exe")).value_or(0); }

    FakeSystem fakes;
    win32::Win32FileSystem files;
    win32::Win32Processes processes;
    win32::Win32Download download;
    RunContext ctx;
    std::string root;
};

TEST_F(DownloadDevconWineTest, FullSuccessOnX86) {
    WriteWhole(Prog("devcon.exe"), "a wrong build");
    EXPECT_THAT(RunWithArchive("devcon_vendor.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "-unzip successfully", "-filecopy successfully"})));
    EXPECT_EQ(InstalledLength(), 55808u);
    EXPECT_EQ(InstalledMachine(), kMachineI386);
    EXPECT_EQ(ReadWhole(Prog("devcon_eula.txt")).value_or("").rfind("DEVCON STAND-IN LICENCE", 0),
              0u);
    EXPECT_THAT(recorder->Opened(true), testing::HasSubstr(Prog("devcon_eula.txt")));
    EXPECT_FALSE(IsFolder(ctx.WorkFolder));
    EXPECT_EQ(errors, 0);
}

TEST_F(DownloadDevconWineTest, OnX64TheItaniumBuildIsNotInstalledAndTheUsersToolStays) {
    ctx.OsInfo.Architecture = "x64";
    WriteWhole(Prog("devcon.exe"), "the user's own tool");
    EXPECT_THAT(RunWithArchive("devcon_vendor.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "-unzip successfully", "ERROR: filecopy fail!"})));
    EXPECT_EQ(ReadWhole(Prog("devcon.exe")), "the user's own tool");
    EXPECT_EQ(recorder->Opened(false), "");
    EXPECT_FALSE(IsFolder(ctx.WorkFolder));
}

TEST_F(DownloadDevconWineTest, NothingArrivesLeavesAnEmptyWorkFolder) {
    EXPECT_THAT(RunWith(std::nullopt), ElementsAreArray(Framed({"ERROR: download fail!"})));
    EXPECT_TRUE(IsFolder(ctx.WorkFolder));
    EXPECT_FALSE(IsFile(Work("devcon.exe")));
    EXPECT_FALSE(IsFile(Prog("devcon.exe")));
    EXPECT_EQ(errors, 1);
}

TEST_F(DownloadDevconWineTest, ArchiveOfAnotherLengthIsCorruptAndStays) {
    for (const char* name : {"devcon_short.exe", "devcon_long.exe"}) {
        SCOPED_TRACE(name);
        EXPECT_THAT(RunWithArchive(name),
                    ElementsAreArray(Framed({"ERROR: download fail, devcon.exe corrupt!"})));
        EXPECT_EQ(ReadWhole(Work("devcon.exe")), ReadWhole(ArchivePath(name)));
        EXPECT_FALSE(IsFolder(Work("i386")));
        EXPECT_FALSE(IsFile(Prog("devcon.exe")));
    }
}

TEST_F(DownloadDevconWineTest, LeftoverWorkFolderIsRemovedBeforeTheDownload) {
    // Members of an earlier run must not be taken for this run's extraction.
    ::CreateDirectoryA(ctx.WorkFolder.c_str(), nullptr);
    ::CreateDirectoryA(Work("i386").c_str(), nullptr);
    ::CreateDirectoryA(Work("deeper").c_str(), nullptr);
    ::CreateDirectoryA(Work("deeper\\deepest").c_str(), nullptr);
    ::CopyFileA(ArchivePath("devcon_vendor.exe").c_str(), Work("devcon.exe").c_str(), FALSE);
    WriteWhole(Work("deeper\\deepest\\left.txt"), "left over");
    WriteWhole(Work("i386\\devcon.exe"), ReadWhole(Work("devcon.exe")).value().substr(0, 55808));
    WriteWhole(Work("ia64\\devcon.exe"), std::string(92672, 'x'));
    WriteWhole(Work("eula.txt"), "old licence");
    EXPECT_THAT(RunWithArchive("devcon_damaged.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "ERROR: unzip fail!", "ERROR: filecopy fail!"})));
    EXPECT_FALSE(IsFile(Prog("devcon.exe")));
    EXPECT_FALSE(IsFile(Prog("devcon_eula.txt")));
    EXPECT_FALSE(IsFolder(ctx.WorkFolder));
}

TEST_F(DownloadDevconWineTest, MissingDll) {
    ::DeleteFileA(Prog("unzip32.dll").c_str());
    EXPECT_THAT(RunWithArchive("devcon_vendor.exe"),
                ElementsAreArray(Framed({"-download successfully", "ERROR: unzip32.dll not found!",
                                         "ERROR: unzip fail!", "ERROR: filecopy fail!"})));
    EXPECT_FALSE(IsFile(Prog("devcon.exe")));
    EXPECT_FALSE(IsFolder(ctx.WorkFolder));
    EXPECT_EQ(errors, 3);
}

// Extraction that produces nothing: the DLL present but unusable, or the archive refused.
struct NothingExtracted {
    const char* what;
    const char* dllContent;  // null: the complete stand-in; "-": the export-less one
    const char* archive;
};

void PrintTo(const NothingExtracted& c, std::ostream* os) {
    *os << c.what;
}

class ExtractsNothing : public DownloadDevconWineTest,
                        public testing::WithParamInterface<NothingExtracted> {};

TEST_P(ExtractsNothing, ReportsUnzipAndCopyFailures) {
    const NothingExtracted& c = GetParam();
    if (c.dllContent != nullptr && std::string(c.dllContent) == "-")
        ::CopyFileA((BinFolder() + "unzip32_noversion.dll").c_str(), Prog("unzip32.dll").c_str(),
                    FALSE);
    else if (c.dllContent != nullptr)
        WriteWhole(Prog("unzip32.dll"), c.dllContent);
    EXPECT_THAT(RunWithArchive(c.archive),
                ElementsAreArray(Framed(
                    {"-download successfully", "ERROR: unzip fail!", "ERROR: filecopy fail!"})));
    EXPECT_FALSE(IsFile(Prog("devcon.exe")));
    EXPECT_FALSE(IsFolder(ctx.WorkFolder));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExtractsNothing,
    testing::Values(NothingExtracted{"NotALibrary", "MZ but nothing more", "devcon_vendor.exe"},
                    NothingExtracted{"ExportMissing", "-", "devcon_vendor.exe"},
                    NothingExtracted{"ArchiveRefused", nullptr, "devcon_damaged.exe"}));

TEST_F(DownloadDevconWineTest, MembersOfOtherLengthsOnX86FailTheCheck) {
    EXPECT_THAT(RunWithArchive("devcon_other_lengths.exe"),
                ElementsAreArray(Framed({"-download successfully", "ERROR: filecopy fail!"})));
    EXPECT_EQ(InstalledLength(), 55809u);
    EXPECT_EQ(recorder->Opened(false), "");
}

TEST_F(DownloadDevconWineTest, MembersOfOtherLengthsOnX64PassWithAnX64Build) {
    ctx.OsInfo.Architecture = "x64";
    EXPECT_THAT(RunWithArchive("devcon_other_lengths.exe"),
                ElementsAreArray(Framed({"-download successfully", "-filecopy successfully"})));
    EXPECT_EQ(InstalledMachine(), kMachineAmd64);
    EXPECT_THAT(recorder->Opened(true), testing::HasSubstr(Prog("devcon_eula.txt")));
}

TEST_F(DownloadDevconWineTest, CopyTargetIsAFolder) {
    ::CreateDirectoryA(Prog("devcon.exe").c_str(), nullptr);
    EXPECT_THAT(RunWithArchive("devcon_vendor.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "-unzip successfully", "ERROR: filecopy fail!"})));
    EXPECT_TRUE(IsFolder(Prog("devcon.exe")));
    EXPECT_EQ(recorder->Opened(false), "");
}

TEST_F(DownloadDevconWineTest, CopyTargetHeldOpenWithoutSharing) {
    WriteWhole(Prog("devcon.exe"), "the user's own tool");
    const win32::UniqueFileHandle held(::CreateFileA(Prog("devcon.exe").c_str(), GENERIC_READ, 0,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_THAT(RunWithArchive("devcon_vendor.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "-unzip successfully", "ERROR: filecopy fail!"})));
    EXPECT_EQ(recorder->Opened(false), "");
}

TEST_F(DownloadDevconWineTest, MissingLicenceStillInstallsTheTool) {
    EXPECT_THAT(RunWithArchive("devcon_no_eula.exe"),
                ElementsAreArray(Framed(
                    {"-download successfully", "ERROR: unzip fail!", "-filecopy successfully"})));
    EXPECT_EQ(InstalledMachine(), kMachineI386);
    EXPECT_FALSE(IsFile(Prog("devcon_eula.txt")));
    EXPECT_EQ(recorder->Opened(false), "");
}

}  // namespace
}  // namespace tunlatch::test
