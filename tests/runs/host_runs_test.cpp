// Whole runs of Main against the fakes, written as data: one NAME.run file per case in this
// folder. Each line is "key: value"; lines starting with "#" are comments. A key not named here
// fails the run file.
//   given KEY: VALUE               how the machine looks before the run (see the givens below)
//   log: TEXT / journal: TEXT      lines of the log (without time stamps) and calls that change
//                                  something, each in this order among others
//   no log: TEXT / no journal: TEXT  a line or a call that must not be there
//   question: TEXT|TITLE           every question asked, in order ("~" for a line break,
//                                  {devcon offer} for the offer's common text)
//   exit: CODE                     the exit code (required)
//   end: N errors|no log           the log's last line "Tunlatch: end (N errors)", or a run that
//                                  writes no end line (required)
//   after service: STATE / after adapter: on|off / after autorun: TEXT|absent
//   after devcon: MACHINE SIZE|absent / after work folder: present|absent / after polls: COUNT
//   after log lines: COUNT|no file
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "components/outside_components.h"
#include "components/reg_value_text.h"
#include "components/service_steps.h"
#include "provisioning/devcon_archive.h"
#include "run/pe_machine.h"
#include "run/result_texts.h"
#include "switch/main.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/pe_image.h"

namespace tunlatch {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::map<std::string, Result<ServiceStatus>> kStates = {
    {"Stopped", ServiceStatus::Stopped},
    {"Running", ServiceStatus::Running},
    {"Start Pending", ServiceStatus::StartPending},
    {"Stop Pending", ServiceStatus::StopPending},
    {"query fails", SystemError{13}},
    {"OpenSCManager fail!", SystemError{5, {}, SystemError::Stage::OpenManager}},
    {"OpenService fail!", SystemError{1060, {}, SystemError::Stage::OpenObject}}};
const std::map<std::string, Answer> kAnswers = {
    {"yes", Answer::Yes}, {"no", Answer::No}, {"none", Answer::None}, {"cancel", Answer::Cancel}};
const std::map<std::string, std::pair<const char*, const char*>> kValues = {
    {"autorun", {outside::kAutorunKey, outside::kAutorunValue}},
    {"installdir", {outside::kInstallDirKey, outside::kInstallDirValue}},
    {"enablelua", {outside::kPolicySystemKey, outside::kEnableLuaValue}}};

const std::string kProgramDir = "C:\\Tools\\Tunlatch\\";
const std::string kDevconPath = kProgramDir + "devcon.exe";
const std::string kWorkFolder = "C:\\Temp\\tunlatch.tmp";
// What the fake clock puts before every line.
const std::string kStamp = "12/5/2026 07:04:09.031 ";
const std::map<std::string, std::uint16_t> kMachines = {
    {"i386", kMachineI386}, {"amd64", kMachineAmd64}, {"ia64", kMachineIa64}};

const std::map<std::string, CaptureFailure> kFailures = {
    {"not started", CaptureFailure::NotStarted},
    {"no pipe", CaptureFailure::PipeNotCreated},
    {"read failed", CaptureFailure::ReadFailed}};

using DeviceKind = DeviceState::Kind;
const std::map<std::string, Result<DeviceState>> kDeviceStates = {
    {"on", DeviceState{DeviceKind::Running, 0}},
    {"off", DeviceState{DeviceKind::Disabled, 22}},
    {"stopped", DeviceState{DeviceKind::Stopped, 0}},
    {"problem", DeviceState{DeviceKind::Problem, 28}},
    {"unreadable", SystemError{13, SystemError::Family::ConfigManager}}};
const std::map<std::string, Result<DeviceChange>> kDeviceChanges = {
    {"restart", DeviceChange::NeedsRestart},
    {"fails", SystemError{0xE000020Bu}},
    {"refused", SystemError{5}}};

const std::map<std::string, Result<StartType>> kStartTypes = {{"automatic", StartType::Automatic},
                                                              {"on demand", StartType::OnDemand},
                                                              {"disabled", StartType::Disabled},
                                                              {"unreadable", SystemError{5}}};

// The keys a run file may hold besides the givens and the after states.
const std::set<std::string> kExpectationKeys = {"log",      "no log", "journal", "no journal",
                                                "question", "exit",   "end"};
const std::set<std::string> kAfterKeys = {"after service",    "after adapter",   "after autorun",
                                          "after devcon",     "after log lines", "after polls",
                                          "after work folder"};

// Texts too long to repeat in every run that shows them.
const std::map<std::string, std::string> kNamedTexts = {
    {"{devcon offer}",
     "Tunlatch can download the DEVCON archive and extract the correct version (32Bit or 64Bit) "
     "for your Windows.~~If you press \"Yes\", Tunlatch automaticaly does all steps for you.~If "
     "you press \"No\", Tunlatch opens your standard internet browser with the download url "
     "for devcon.exe."}};

// "~" stands for a line break, which a line of the file cannot hold, and "^A" (as the log
// shows it) for a control byte.
std::string Unescaped(std::string text) {
    for (const auto& [name, named] : kNamedTexts)
        for (std::size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), named);
    std::string bytes;
    for (const char c : text) bytes += c == '~' ? std::string("\r\n") : std::string(1, c);
    for (std::size_t at = 0; (at = bytes.find('^', at)) < bytes.size() - 1; ++at)
        bytes.replace(at, 2, 1, static_cast<char>(bytes[at + 1] ^ 0x40));
    return bytes;
}

// A 32-bit machine with the client installed and switched off, the right DevCon beside the
// program, and an adapter that follows DevCon's enable and disable.
struct HostRun {
    FakeSystem sys;
    bool adapterEnabled = false;
    std::map<std::string, Lines> expected;  // by key: "log", "no log", "journal", ...
    std::map<std::string, std::string> after;
    std::string file;       // the run file's name, for the failures found in it
    std::string arguments;  // the program's command line after its name
    std::map<std::string, CaptureResult> answers;  // DevCon's, by verb, where not the adapter's
    // The DevCon archive as the server delivers it and the members it holds.
    std::uint64_t arrives = outside::kDevconArchiveSize;
    bool downloadReportsSuccess = true;
    std::map<std::string, std::string> members = {
        {"\\i386\\devcon.exe", test::PeImage(kMachineI386, 55808)},
        {"\\ia64\\devcon.exe", test::PeImage(kMachineIa64, 92672)},
        {"\\eula.txt", "DevCon licence"}};

    std::deque<int> runSeconds;  // how long DevCon's runs take, one after the other

    HostRun() {
        sys.download.onDownload = [this](const std::string& path) -> Result<> {
            const SystemError refused{0x800C0008u, SystemError::Family::ComResult};
            if (!sys.files.FolderExists(path.substr(0, path.rfind('\\')))) return refused;
            // A server may answer without a body, and the call still succeeds.
            if (arrives > 0) sys.files.files[path] = std::string(arrives, 'z');
            if (!downloadReportsSuccess) return refused;
            return {};
        };
        sys.zip.onUnzip = [this](const std::string& target) {
            for (const auto& [name, content] : members) sys.files.files[target + name] = content;
        };
        sys.files.files[kProgramDir + "unzip32.dll"] = "MZ";
        sys.processes.onRun = [this](const std::string& command, std::chrono::milliseconds limit) {
            const bool late = !runSeconds.empty() && std::chrono::seconds(runSeconds[0]) > limit;
            if (!runSeconds.empty()) runSeconds.pop_front();
            for (const auto& [verb, answer] : answers)
                if (command.find(" " + verb + " ") != std::string::npos) return answer;
            return late ? CaptureResult(CaptureFailure::NoEndInTime) : AdapterAnswer(command);
        };
        sys.files.files[kDevconPath] = std::string(55808, 'M');
        sys.files.files["C:\\Program Files\\Hamachi\\hamachi-2-ui.exe"] = "MZ";
        Registry("installdir") = std::string("C:\\Program Files\\Hamachi");
        sys.os.info.Architecture = "x86";
    }
    CaptureResult AdapterAnswer(const std::string& command) {
        const auto has = [&](const char* verb) { return command.find(verb) != std::string::npos; };
        if (has(" enable ") || has(" disable ")) adapterEnabled = has(" enable ");
        const char* state = adapterEnabled ? "Driver is running." : "Device is disabled.";
        if (has(" status ")) return "ROOT\\NET\\0000\r\n    " + std::string(state) + "\r\n";
        return adapterEnabled ? "ROOT\\NET\\0000: Enabled\r\n" : "ROOT\\NET\\0000: Disabled\r\n";
    }
    // The program folder as given, with its trailing backslash.
    std::string ProgramDir() const {
        const std::string folder = sys.host.folder ? *sys.host.folder : kProgramDir;
        return folder + (folder.ends_with('\\') ? "" : "\\");
    }
    std::string LogPath() const { return ProgramDir() + "tunlatch.log"; }
    // The log's lines without their time stamps.
    Lines Texts() const {
        Lines texts = sys.files.Lines(LogPath());
        for (std::string& text : texts)
            if (text.rfind(kStamp, 0) == 0) text.erase(0, kStamp.size());
        return texts;
    }
    RegValue& Registry(const std::string& name) {
        const auto& [key, value] = kValues.at(name);
        return sys.registry.values[FakeRegistry::Key(key, value)];
    }
    // The first word of the value and the rest.
    static std::pair<std::string, std::string> Split(const std::string& value) {
        const std::size_t blank = value.find(' ');
        if (blank == std::string::npos) return {value, ""};
        return {value.substr(0, blank), value.substr(blank + 1)};
    }
    void Given(const std::string& what, const std::string& value) {
        const auto [first, rest] = Split(value);
        const std::string ini = ProgramDir() + "tunlatch.ini";
        const std::map<std::string, std::function<void()>> givens = {
            {"setting",
             [&] {
                 sys.files.files[ini];
                 sys.settings.Put(ini, "misc", first, rest);
             }},
            {"saved uiexe",
             [&] {
                 sys.files.files[ini];
                 sys.settings.Put(ini, kUiExeSection, kUiExeKey, value);
             }},
            {"service", [&] { sys.services.status = kStates.at(value); }},
            {"service answers",  // one state per query, "STATE xN" for N of them, the last
                                 // repeating
             [&] {
                 std::istringstream list(value);
                 for (std::string item; std::getline(list >> std::ws, item, ',');) {
                     const std::size_t times = item.rfind(" x");
                     const std::size_t count =
                         times == std::string::npos ? 1 : std::stoul(item.substr(times + 2));
                     sys.services.statusScript.insert(sys.services.statusScript.end(), count,
                                                      kStates.at(item.substr(0, times)));
                 }
             }},
            {"adapter", [&] { adapterEnabled = value == "on"; }},
            {"starttype", [&] { sys.services.startType = kStartTypes.at(value); }},
            {"starttype change fails", [&] { sys.services.startTypeChangeWorks = false; }},
            {"devcon answers", [&] { answers[first] = Unescaped(rest); }},
            {"devcon fails", [&] { answers[first] = kFailures.at(rest); }},
            {"devcon run takes", [&] { runSeconds.push_back(std::stoi(value)); }},
            {"launch fails", [&] { sys.processes.launchResult = SystemError{Number(value)}; }},
            {"shell open fails",
             [&] { sys.processes.shellOpenResult = SystemError{Number(value)}; }},
            {"user shell",  // reached (the UI program then runs as 5151), none, or fails CODE
             [&] {
                 FakeProcesses& processes = sys.processes;
                 if (value == "reached") {
                     processes.userLaunchResult = 5151u;
                     processes.userOpenResult = Done{};
                     processes.activeProcesses.insert(5151);
                 } else if (first == "fails") {
                     const UserStartFailure failure{UserStartFailure::Kind::Failed,
                                                    SystemError{Number(rest)}};
                     processes.userLaunchResult = failure;
                     processes.userOpenResult = failure;
                 } else if (value != "none") {
                     ADD_FAILURE() << file << ": user shell: " << value;
                 }
             }},
            {"service refuses",  // REQUEST CODE: start, stop or starttype refused with CODE
             [&] { sys.services.refusals[first] = Number(rest); }},
            {"device find fails", [&] { sys.devices.findFailure = SystemError{Number(value)}; }},
            {"process stays", [&] { sys.processes.activeProcesses = {4242}; }},
            {"settings write fails", [&] { sys.settings.writeWorks = false; }},
            {"devcon missing", [&] { sys.files.files.erase(kDevconPath); }},
            {"devcon",  // MACHINE SIZE; "MZ" for a file of two bytes, "other" for no program
             [&] {
                 const auto [machine, size] = Split(value);
                 std::string& tool = sys.files.files[kDevconPath];
                 if (machine == "MZ")
                     tool = machine;
                 else if (machine == "other")
                     tool = std::string(std::stoul(size), 'M');
                 else
                     tool = test::PeImage(kMachines.at(machine), std::stoul(size));
             }},
            {"devcon signature", [&] { sys.files.files[kDevconPath][0x80] = 'X'; }},
            {"arch", [&] { sys.os.info.Architecture = value; }},
            {"temp folder", [&] { sys.host.temp = value; }},
            {"text value", [&] { Registry(first) = Unescaped(rest); }},
            {"dword value", [&] { Registry(first) = std::stoi(rest); }},
            {"binary value", [&] { Registry(first) = RegBinary{rest}; }},
            {"file", [&] { sys.files.files[value] = "MZ"; }},
            {"no value",
             [&] {
                 const auto& [key, name] = kValues.at(value);
                 sys.registry.values.erase(FakeRegistry::Key(key, name));
             }},
            {"value fails",
             [&] {
                 const auto [call, code] = Split(rest);
                 const auto& [key, name] = kValues.at(first);
                 sys.registry.failures[call + " " + FakeRegistry::Key(key, name)] = std::stoi(code);
             }},
            {"answer", [&] { sys.dialogs.answers.push_back(kAnswers.at(value)); }},
            {"another copy", [&] { sys.host.anotherCopy = true; }},
            {"arguments", [&] { arguments = value; }},
            {"not admin", [&] { sys.os.admin = false; }},
            {"log unopenable", [&] { sys.files.unopenable.insert(LogPath()); }},
            {"refused", [&] { sys.files.refused.insert(value); }},
            {"linked", [&] { sys.files.linked.insert(value); }},
            {"archive size", [&] { arrives = std::stoull(value); }},
            {"download reports failure", [&] { downloadReportsSuccess = false; }},
            {"no unzip32", [&] { sys.files.files.erase(kProgramDir + "unzip32.dll"); }},
            {"unzip fails",  // "version X.Y.Z": refused, nothing extracted; "code N": after
                             // extracting the members
             [&] {
                 const auto [kind, detail] = Split(value);
                 if (kind == "version") members.clear();
                 sys.zip.failure = kind == "version"
                                       ? ZipFailure{ZipFailure::Kind::UnsupportedVersion, 0, detail}
                                       : ZipFailure{ZipFailure::Kind::Failed,
                                                    static_cast<std::uint32_t>(std::stoul(detail)),
                                                    {}};
             }},
            {"member",  // NAME MACHINE SIZE, or NAME text
             [&] {
                 const auto [machine, size] = Split(rest);
                 members[first] = kMachines.count(machine)
                                      ? test::PeImage(kMachines.at(machine), std::stoul(size))
                                      : "text";
             }},
            {"no member", [&] { members.erase(value); }},
            {"member swapped",  // NAME MACHINE SIZE: what the member's copy delivers
             [&] {
                 const auto [machine, size] = Split(rest);
                 sys.files.swapped[kWorkFolder + first] =
                     test::PeImage(kMachines.at(machine), std::stoul(size));
             }},
            {"leftovers",  // the work folder of an earlier run, left full
             [&] {
                 sys.files.folders.insert(kWorkFolder);
                 for (const auto& [name, content] : members)
                     sys.files.files[kWorkFolder + name] = content;
             }},
            {"folder unspellable", [&] { sys.host.folder = FolderTrouble::Unspellable; }},
            {"folder unknown", [&] { sys.host.folder = FolderTrouble::Unknown; }},
            {"program file", [&] { sys.files.files[kProgramDir + value]; }},
            {"others may write",
             [&] { sys.access.access[kProgramDir + value] = WriteAccess::OthersMayWrite; }},
            {"others may replace",  // a folder above the program folder, by its path
             [&] { sys.access.access[value + " above"] = WriteAccess::OthersMayWrite; }},
            {"access unknown",
             [&] { sys.access.access[kProgramDir + value] = WriteAccess::Unknown; }},
            {"device",  // STATE ID NAME: a device that matches the adapter
             [&] {
                 const auto [id, name] = Split(rest);
                 sys.devices.devices.push_back({id, name});
                 sys.devices.states.insert_or_assign(id, kDeviceStates.at(first));
             }},
            {"device change", [&] { sys.devices.change = kDeviceChanges.at(value); }},
            {"devices vanish after", [&] { sys.devices.vanishAfter = std::stoi(value); }},
            {"program bits", [&] { sys.host.bits = std::stoul(value); }},
            {"program folder", [&] {
                 sys.host.folder = value;
                 sys.files.files[value + "devcon.exe"] = sys.files.files[kDevconPath];
             }}};
        const auto given = givens.find(what);
        if (given == givens.end()) return ADD_FAILURE() << file << ": unknown given: " << what;
        given->second();
    }
    // The installed tool's machine and length.
    std::string Devcon() {
        const auto length = sys.files.FileLength(kDevconPath);
        if (!length) return "absent";
        std::string machine = "other";
        for (const auto& [name, word] : kMachines)
            if (ReadPeMachine(sys.files, kDevconPath) == word) machine = name;
        return machine + " " + std::to_string(*length);
    }
    // A number in decimal, or in hexadecimal after "0x".
    static std::uint32_t Number(const std::string& text) {
        return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0));
    }
    void Read(const fs::path& path) {
        file = path.filename().string();
        std::ifstream lines(path);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#') continue;
            const std::size_t colon = line.find(':');
            const std::string key = line.substr(0, colon);
            const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
            if (colon == std::string::npos)
                ADD_FAILURE() << file << ": a line without a key: " << line;
            else if (key.rfind("given ", 0) == 0)
                Given(key.substr(6), value);
            else if (kAfterKeys.count(key))
                after[key] = value;
            else if (kExpectationKeys.count(key))
                expected[key].push_back(key == "question" ? Unescaped(value) : value);
            else
                ADD_FAILURE() << file << ": unknown key: " << key;
        }
        for (const char* required : {"exit", "end"})
            if (expected[required].size() != 1)
                ADD_FAILURE() << file << ": needs one " << required << " line";
    }
};

// Whether want appears in have in its order, others in between.
::testing::AssertionResult InOrder(const Lines& have, const Lines& want) {
    auto at = have.begin();
    for (const std::string& line : want) {
        at = std::find(at, have.end(), line);
        if (at == have.end()) {
            std::string all;
            for (const std::string& h : have) all += "\n  " + h;
            return ::testing::AssertionFailure()
                   << "missing in order: " << line << "\nhave:" << all;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

std::vector<fs::path> RunFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(TUNLATCH_TESTS_DIR "/runs"))
        if (entry.path().extension() == ".run") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class HostRunTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(HostRunTest, RunsAsWritten) {
    HostRun t;
    t.Read(GetParam());
    const int exitCode = Main(t.sys.modules, t.arguments);
    const Lines texts = t.Texts(), &journal = t.sys.journal.events;
    const auto only = [&](const char* key) {
        return t.expected[key].empty() ? "" : t.expected[key][0];
    };
    EXPECT_EQ(std::to_string(exitCode), only("exit"));
    const bool ended = !texts.empty() && texts.back().starts_with("Tunlatch: end (");
    EXPECT_EQ(ended ? texts.back().substr(15, texts.back().size() - 16) : "no log", only("end"));
    EXPECT_TRUE(InOrder(texts, t.expected["log"]));
    EXPECT_TRUE(InOrder(journal, t.expected["journal"]));
    for (const std::string& call : t.expected["no journal"])
        EXPECT_FALSE(InOrder(journal, {call})) << call;
    for (const std::string& line : t.expected["no log"])
        EXPECT_FALSE(InOrder(texts, {line})) << line;
    EXPECT_EQ(t.sys.dialogs.questions, t.expected["question"]);
    const RegValue* autorun = t.sys.registry.Find(outside::kAutorunKey, outside::kAutorunValue);
    const std::map<std::string, std::string> state = {
        {"after service", ServiceStatusText(t.sys.services.status)},
        {"after adapter", t.adapterEnabled ? "on" : "off"},
        {"after autorun", autorun ? RegValueText(*autorun) : "absent"},
        {"after devcon", t.Devcon()},
        {"after log lines", t.sys.files.FileExists(t.LogPath())
                                ? std::to_string(t.sys.files.Lines(t.LogPath()).size())
                                : "no file"},
        {"after polls", std::to_string(std::count(t.sys.processes.waits.begin(),
                                                  t.sys.processes.waits.end(), kServicePollMs))},
        {"after work folder", t.sys.files.FolderExists(kWorkFolder) ? "present" : "absent"}};
    for (const auto& [key, value] : t.after) EXPECT_EQ(state.at(key), value) << key;
}

INSTANTIATE_TEST_SUITE_P(Files, HostRunTest, ::testing::ValuesIn(RunFiles()), [](const auto& info) {
    std::string name = info.param.stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
}  // namespace tunlatch
