#include "provisioning/download_devcon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "run/pe_machine.h"
#include "tests/fakes/fake_system.h"
#include "tests/provisioning/pe_image.h"

namespace tunlatch {
namespace {

using test::PeImage;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

constexpr const char* kProgramDir = "C:\\Tools\\Tunlatch\\";
constexpr const char* kWork = "C:\\Temp\\tunlatch.tmp";
constexpr const char* kArchive = "C:\\Temp\\tunlatch.tmp\\devcon.exe";
constexpr const char* kDll = "C:\\Tools\\Tunlatch\\unzip32.dll";
constexpr const char* kTool = "C:\\Tools\\Tunlatch\\devcon.exe";
constexpr const char* kEula = "C:\\Tools\\Tunlatch\\devcon_eula.txt";
constexpr const char* kLogPath = "C:\\Tools\\Tunlatch\\tunlatch.log";
constexpr const char* kUrl = "http://127.0.0.1:8080/devcon.exe";
// What FakeClock's date and time put before every line.
constexpr const char* kStamp = "12/5/2026 07:04:09.031 ";

const std::string kI386 = PeImage(kMachineI386, 55808);
const std::string kIa64 = PeImage(kMachineIa64, 92672);
const std::string kLicence = "DevCon licence\r\n";

// Members as the stand-in archive holds them, by path below the work folder.
using Members = std::map<std::string, std::string>;
const Members kVendorMembers{
    {"\\i386\\devcon.exe", kI386}, {"\\ia64\\devcon.exe", kIa64}, {"\\eula.txt", kLicence}};

class DownloadDevconTest : public testing::Test {
protected:
    DownloadDevconTest() {
        ctx.ProgramDir = kProgramDir;
        ctx.WorkFolder = kWork;
        ctx.DevconArchiveUrl = kUrl;
        ctx.INI_log = 2;
        ctx.OsInfo.Architecture = "x86";
        sys.files.folders.insert("C:\\Temp");
        sys.files.files[kDll] = "stand-in";
        log.Open(sys.files, kLogPath);
        ArchiveArrives(79024);
        ArchiveHolds(kVendorMembers);
    }

    void ArchiveArrives(std::size_t length) {
        sys.download.onDownload = [this, length](const std::string&, const std::string& path) {
            if (!sys.files.FolderExists(kWork)) return false;
            sys.files.files[path] = std::string(length, 'z');
            return true;
        };
    }
    void NothingArrives() {
        sys.download.onDownload = [](const std::string&, const std::string&) { return false; };
    }
    void ArchiveHolds(Members members) {
        sys.zip.onUnzip = [this, members](const std::string&, const std::string& target) {
            for (const auto& [name, content] : members) sys.files.files[target + name] = content;
        };
    }

    // The texts of the log lines, without date and time.
    std::vector<std::string> Lines() {
        std::vector<std::string> texts;
        for (const std::string& line : sys.files.Lines(kLogPath)) {
            EXPECT_EQ(line.rfind(kStamp, 0), 0u) << line;
            texts.push_back(line.substr(std::string(kStamp).size()));
        }
        return texts;
    }
    // Files left below the work folder.
    std::vector<std::string> WorkFiles() {
        std::vector<std::string> left;
        for (const auto& [path, content] : sys.files.files)
            if (path.rfind(std::string(kWork) + "\\", 0) == 0) left.push_back(path);
        return left;
    }

    FakeSystem sys;
    RunContext ctx;
    RunLog log{2, sys.clock};
    tunlatch::Run run{ctx, sys.modules, log};
};

std::vector<std::string> Framed(std::vector<std::string> inner) {
    inner.insert(inner.begin(), "Download devcon.exe: begin");
    inner.push_back("Download devcon.exe: end");
    return inner;
}

TEST_F(DownloadDevconTest, FullSuccessOnX86InstallsOpensAndCleansUp) {
    sys.files.files[kTool] = PeImage(kMachineI386, 40000);  // a wrong build is replaced
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"-download successfully", "-unzip successfully",
                                                  "-filecopy successfully"})));
    EXPECT_EQ(sys.files.files[kTool], kI386);
    EXPECT_EQ(sys.files.files[kEula], kLicence);
    EXPECT_THAT(sys.processes.opened, ElementsAre(kEula));
    EXPECT_FALSE(sys.files.FolderExists(kWork));
    EXPECT_THAT(WorkFiles(), IsEmpty());
    EXPECT_EQ(log.ErrorCount(), 0);
    EXPECT_THAT(sys.download.downloads,
                ElementsAre(std::pair<std::string, std::string>(kUrl, kArchive)));
    EXPECT_THAT(sys.zip.calls, ElementsAre(std::pair<std::string, std::string>(kArchive, kWork)));
}

TEST_F(DownloadDevconTest, StepsRunInOrderAndRemoveTheWorkFolderForGood) {
    sys.files.folders.insert(kWork);
    sys.files.files[std::string(kWork) + "\\old\\left.txt"] = "left";
    DownloadDevcon(run);
    const std::string del = std::string("ShellDelete ") + kWork;
    EXPECT_THAT(
        sys.journal.events,
        ElementsAre(del, std::string("CreateFolder ") + kWork, std::string("Download ") + kUrl,
                    std::string("UnzipArchive ") + kArchive,
                    std::string("CopyFileTo ") + kWork + "\\i386\\devcon.exe -> " + kTool,
                    std::string("CopyFileTo ") + kWork + "\\eula.txt -> " + kEula,
                    std::string("ShellOpen ") + kEula, del));
}

TEST_F(DownloadDevconTest, LeftoverMembersOfAnEarlierRunAreNeverInstalled) {
    sys.files.folders.insert(kWork);
    for (const auto& [name, content] : kVendorMembers) sys.files.files[kWork + name] = content;
    ArchiveHolds({});
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"-download successfully", "ERROR: unzip fail!",
                                                  "ERROR: filecopy fail!"})));
    EXPECT_FALSE(sys.files.FileExists(kTool));
}

TEST_F(DownloadDevconTest, OnX64TheItaniumMemberIsNotInstalledAndTheUsersToolStays) {
    ctx.OsInfo.Architecture = "x64";
    const std::string users = PeImage(kMachineI386, 55808);
    sys.files.files[kTool] = users;
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"-download successfully", "-unzip successfully",
                                                  "ERROR: filecopy fail!"})));
    EXPECT_EQ(sys.files.files[kTool], users);
    EXPECT_THAT(sys.processes.opened, IsEmpty());
    EXPECT_FALSE(sys.files.FolderExists(kWork));
    EXPECT_EQ(log.ErrorCount(), 1);
}

// Which member folder each architecture text takes, and whether its build may be installed.
struct ChoiceCase {
    const char* architecture;
    Members members;
    std::optional<std::string> installed;
    const char* verdict;
};

// Short enough to name the test case.
void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << (*c.architecture ? c.architecture : "empty") << (c.installed ? "_installs" : "_keeps");
}

class MemberChoiceTest : public DownloadDevconTest,
                         public testing::WithParamInterface<ChoiceCase> {};

TEST_P(MemberChoiceTest, InstallsOnlyABuildForTheMachine) {
    const ChoiceCase& c = GetParam();
    ctx.OsInfo.Architecture = c.architecture;
    ArchiveHolds(c.members);
    DownloadDevcon(run);
    EXPECT_EQ(sys.files.FileExists(kTool) ? std::optional(sys.files.files[kTool]) : std::nullopt,
              c.installed);
    EXPECT_EQ(Lines().at(Lines().size() - 2), c.verdict);
}

const std::string kAmd64 = PeImage(kMachineAmd64, 92672);
const std::string kAmd64Other = PeImage(kMachineAmd64, 70000);

INSTANTIATE_TEST_SUITE_P(
    Table, MemberChoiceTest,
    testing::Values(ChoiceCase{"x86", kVendorMembers, kI386, "-filecopy successfully"},
                    ChoiceCase{"x64", kVendorMembers, std::nullopt, "ERROR: filecopy fail!"},
                    ChoiceCase{"x64",
                               {{"\\i386\\devcon.exe", kI386},
                                {"\\ia64\\devcon.exe", kAmd64},
                                {"\\eula.txt", kLicence}},
                               kAmd64,
                               "-filecopy successfully"},
                    // Installed where it runs, but the switch knows no Itanium build.
                    ChoiceCase{"Itanium", kVendorMembers, kIa64, "ERROR: filecopy fail!"},
                    ChoiceCase{"", kVendorMembers, std::nullopt, "ERROR: filecopy fail!"},
                    ChoiceCase{"Unknown", kVendorMembers, std::nullopt, "ERROR: filecopy fail!"},
                    // An i386 build in the x86 slot that is no program file is not installed.
                    ChoiceCase{"x86",
                               {{"\\i386\\devcon.exe", std::string(55808, 'x')},
                                {"\\ia64\\devcon.exe", kIa64},
                                {"\\eula.txt", kLicence}},
                               std::nullopt,
                               "ERROR: filecopy fail!"}));

TEST_F(DownloadDevconTest, NothingArrivesLeavesAnEmptyWorkFolder) {
    NothingArrives();
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"ERROR: download fail!"})));
    EXPECT_TRUE(sys.files.FolderExists(kWork));
    EXPECT_THAT(WorkFiles(), IsEmpty());
    EXPECT_THAT(sys.zip.calls, IsEmpty());
    EXPECT_FALSE(sys.files.FileExists(kTool));
    EXPECT_EQ(log.ErrorCount(), 1);
}

TEST_F(DownloadDevconTest, ArchiveOfAnotherLengthIsCorruptAndKept) {
    for (std::size_t length : {79023u, 79025u, 0u}) {
        sys.files.files.erase(kArchive);
        ArchiveArrives(length);
        DownloadDevcon(run);
        EXPECT_EQ(sys.files.FileLength(kArchive), length);
        EXPECT_THAT(WorkFiles(), ElementsAre(kArchive));
    }
    const std::vector<std::string> once = Framed({"ERROR: download fail, devcon.exe corrupt!"});
    std::vector<std::string> thrice;
    for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), once.begin(), once.end());
    EXPECT_THAT(Lines(), ElementsAreArray(thrice));
    EXPECT_THAT(sys.zip.calls, IsEmpty());
    EXPECT_FALSE(sys.files.FileExists(kTool));
    EXPECT_FALSE(sys.files.FileExists(kEula));
}

TEST_F(DownloadDevconTest, MissingDllSkipsExtraction) {
    sys.files.files.erase(kDll);
    DownloadDevcon(run);
    EXPECT_THAT(Lines(),
                ElementsAreArray(Framed({"-download successfully", "ERROR: unzip32.dll not found!",
                                         "ERROR: unzip fail!", "ERROR: filecopy fail!"})));
    EXPECT_THAT(sys.zip.calls, IsEmpty());
    EXPECT_FALSE(sys.files.FolderExists(kWork));
    EXPECT_EQ(log.ErrorCount(), 3);
}

TEST_F(DownloadDevconTest, ExtractionThatFailsEndsOnlyThatStep) {
    ArchiveHolds({});
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"-download successfully", "ERROR: unzip fail!",
                                                  "ERROR: filecopy fail!"})));
    EXPECT_FALSE(sys.files.FolderExists(kWork));
}

TEST_F(DownloadDevconTest, MembersOfOtherLengthsLetTheCheckDecide) {
    ArchiveHolds({{"\\i386\\devcon.exe", PeImage(kMachineI386, 55809)},
                  {"\\ia64\\devcon.exe", kAmd64Other},
                  {"\\eula.txt", kLicence}});
    DownloadDevcon(run);
    ctx.OsInfo.Architecture = "x64";
    DownloadDevcon(run);
    const std::vector<std::string> x86 =
        Framed({"-download successfully", "ERROR: filecopy fail!"});
    const std::vector<std::string> x64 =
        Framed({"-download successfully", "-filecopy successfully"});
    std::vector<std::string> both = x86;
    both.insert(both.end(), x64.begin(), x64.end());
    EXPECT_THAT(Lines(), ElementsAreArray(both));
    EXPECT_EQ(sys.files.files[kTool], kAmd64Other);
    EXPECT_THAT(sys.processes.opened, ElementsAre(kEula));
}

TEST_F(DownloadDevconTest, CopyTargetNotWritable) {
    sys.files.readOnly.insert(kTool);
    DownloadDevcon(run);
    EXPECT_THAT(Lines(), ElementsAreArray(Framed({"-download successfully", "-unzip successfully",
                                                  "ERROR: filecopy fail!"})));
    EXPECT_THAT(sys.processes.opened, IsEmpty());
    EXPECT_FALSE(sys.files.FolderExists(kWork));
}

TEST_F(DownloadDevconTest, MissingLicenceStillInstallsTheTool) {
    for (bool earlierLicence : {false, true}) {
        SCOPED_TRACE(earlierLicence);
        sys.files.files.erase(kLogPath);
        sys.processes.opened.clear();
        if (earlierLicence) sys.files.files[kEula] = "earlier";
        ArchiveHolds({{"\\i386\\devcon.exe", kI386}, {"\\ia64\\devcon.exe", kIa64}});
        DownloadDevcon(run);
        EXPECT_THAT(Lines(),
                    ElementsAreArray(Framed({"-download successfully", "ERROR: unzip fail!",
                                             "-filecopy successfully"})));
        EXPECT_EQ(sys.files.files[kTool], kI386);
        EXPECT_EQ(sys.processes.opened.size(), earlierLicence ? 1u : 0u);
        EXPECT_EQ(sys.files.FileExists(kEula), earlierLicence);
    }
}

}  // namespace
}  // namespace tunlatch
