#include "provisioning/download_devcon.h"

#include <gtest/gtest.h>

#include <map>

#include "run/pe_machine.h"
#include "tests/fakes/step_run.h"
#include "tests/provisioning/pe_image.h"

namespace tunlatch {
namespace {

using test::PeImage;
using Texts = std::vector<std::string>;
using Members = std::map<std::string, std::string>;

const std::string kWork = "C:\\Temp\\tunlatch.tmp";
const std::string kTool = fixture::kDevconPath;
const std::string kEula = fixture::kProgramDir + "devcon_eula.txt";
const std::string kI386 = PeImage(kMachineI386, 55808);
const std::string kAmd64 = PeImage(kMachineAmd64, 92672);
const std::string kLicence = "DevCon licence";
const Members kVendor = {{"\\i386\\devcon.exe", kI386},
                         {"\\ia64\\devcon.exe", PeImage(kMachineIa64, 92672)},
                         {"\\eula.txt", kLicence}};

struct DownloadRun : fixture::StepRun {
    std::size_t arrives = 79024;  // 0: nothing
    bool reportsSuccess = true;
    Members members = kVendor;

    DownloadRun() {
        sys.files.files.erase(kTool);
        sys.files.files[fixture::kProgramDir + "unzip32.dll"] = "dll";
        ctx.WorkFolder = kWork;
        ctx.DevconArchiveUrl = "http://host/devcon.exe";
        sys.download.onDownload = [this](const std::string& path) {
            if (arrives == 0 || !sys.files.FolderExists(kWork)) return false;
            sys.files.files[path] = std::string(arrives, 'z');
            return reportsSuccess;
        };
        sys.zip.onUnzip = [this](const std::string& target) {
            for (const auto& [name, content] : members) sys.files.files[target + name] = content;
        };
    }
    std::vector<std::string> Inner() {
        DownloadDevcon(run);
        std::vector<std::string> texts = Texts();
        EXPECT_EQ(texts.front(), "Download devcon.exe: begin");
        EXPECT_EQ(texts.back(), "Download devcon.exe: end");
        return std::vector<std::string>(texts.begin() + 1, texts.end() - 1);
    }
    std::string Tool() const {
        return sys.files.files.count(kTool) ? sys.files.files.at(kTool) : "";
    }
};

TEST(DownloadDevconTest, FetchesExtractsInstallsOpensTheLicenceAndCleansUp) {
    DownloadRun t;
    t.sys.files.files[kTool] = PeImage(kMachineI386, 40000);  // a wrong build is replaced
    t.sys.files.folders.insert(kWork + "\\left");
    EXPECT_EQ(t.Inner(),
              (Texts{"-download successfully", "-unzip successfully", "-filecopy successfully"}));
    EXPECT_EQ(t.Tool(), kI386);
    EXPECT_EQ(t.sys.files.files[kEula], kLicence);
    EXPECT_EQ(
        t.Journal(),
        (Texts{"CreateFolder " + kWork, "Download http://host/devcon.exe " + kWork + "\\devcon.exe",
               "Unzip " + kWork + "\\devcon.exe " + kWork, "CopyFileTo " + kTool,
               "CopyFileTo " + kEula, "ShellOpen " + kEula, "ShellDelete " + kWork}));
    EXPECT_FALSE(t.sys.files.FolderExists(kWork));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(DownloadDevconTest, EachFailureEndsItsOwnStep) {
    const struct {
        const char* what;
        std::size_t arrives;
        Members members;
        bool dll;
        Texts lines;
        bool workFolderKept;
    } cases[] = {
        {"nothing arrives", 0, kVendor, true, {"ERROR: download fail!"}, true},
        {"short archive",
         79023,
         kVendor,
         true,
         {"ERROR: download fail, devcon.exe corrupt!"},
         true},
        {"long archive", 79025, kVendor, true, {"ERROR: download fail, devcon.exe corrupt!"}, true},
        {"no dll",
         79024,
         kVendor,
         false,
         {"-download successfully", "ERROR: unzip32.dll not found!", "ERROR: unzip fail!",
          "ERROR: filecopy fail!"},
         false},
        {"empty archive",
         79024,
         {},
         true,
         {"-download successfully", "ERROR: unzip fail!", "ERROR: filecopy fail!"},
         false},
        {"no licence",
         79024,
         {{"\\i386\\devcon.exe", kI386}, {"\\ia64\\devcon.exe", kAmd64}},
         true,
         {"-download successfully", "ERROR: unzip fail!", "-filecopy successfully"},
         false},
        // Members of other lengths are not the vendor's, but the check of the installed tool
        // has the last word.
        {"other lengths",
         79024,
         {{"\\i386\\devcon.exe", PeImage(kMachineI386, 55809)},
          {"\\ia64\\devcon.exe", kAmd64},
          {"\\eula.txt", kLicence}},
         true,
         {"-download successfully", "ERROR: filecopy fail!"},
         false},
    };
    for (const auto& c : cases) {
        DownloadRun t;
        t.arrives = c.arrives;
        t.members = c.members;
        if (!c.dll) t.sys.files.files.erase(fixture::kProgramDir + "unzip32.dll");
        EXPECT_EQ(t.Inner(), c.lines) << c.what;
        EXPECT_EQ(t.sys.files.FolderExists(kWork), c.workFolderKept) << c.what;
        // A member of another length is copied, and then the check of the copy turns it down.
        const bool copied =
            c.lines.back() == "-filecopy successfully" || std::string(c.what) == "other lengths";
        EXPECT_EQ(!t.Tool().empty(), copied) << c.what;
    }
}

// A member built for another processor would replace the user's tool with one that cannot start.
TEST(DownloadDevconTest, InstallsOnlyTheMemberBuiltForTheMachine) {
    const struct {
        const char* architecture;
        std::string ia64Member;
        bool installed;
    } cases[] = {{"x86", PeImage(kMachineIa64, 92672), true},
                 {"x64", PeImage(kMachineIa64, 92672), false},
                 {"x64", kAmd64, true},
                 {"Itanium", PeImage(kMachineIa64, 92672), true},
                 {"Unknown", kAmd64, false}};
    for (const auto& c : cases) {
        DownloadRun t;
        t.ctx.OsInfo.Architecture = c.architecture;
        t.sys.files.files[kTool] = "the user's own tool";
        t.members["\\ia64\\devcon.exe"] = c.ia64Member;
        t.Inner();
        EXPECT_EQ(t.Tool() != "the user's own tool", c.installed) << c.architecture;
    }
}

TEST(DownloadDevconTest, ADownloadThatReportsFailureFailsWhateverItLeft) {
    DownloadRun t;
    t.reportsSuccess = false;
    EXPECT_EQ(t.Inner(), std::vector<std::string>{"ERROR: download fail!"});
}

TEST(DownloadDevconTest, LeftoversOfAnEarlierRunAreRemovedFirst) {
    DownloadRun t;
    t.sys.files.folders.insert(kWork);
    for (const auto& [name, content] : kVendor) t.sys.files.files[kWork + name] = content;
    t.members.clear();
    EXPECT_EQ(t.Inner(),
              (Texts{"-download successfully", "ERROR: unzip fail!", "ERROR: filecopy fail!"}));
    EXPECT_EQ(t.Journal().front(), "ShellDelete " + kWork);
    EXPECT_FALSE(t.sys.files.FileExists(kTool));
}

}  // namespace
}  // namespace tunlatch
