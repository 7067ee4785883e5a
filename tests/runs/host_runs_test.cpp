// Whole runs of Main against the fakes, written as data: one NAME.run file per case in this
// folder. Each line is "key: value"; lines starting with "#" are comments. A key not named here
// fails the run file.
//   given KEY: VALUE               how the machine looks before the run (see the givens below)
//   log: TEXT / journal: TEXT      lines of the log (without time stamps) and calls that change
//                                  something, each in this order among others
//   no log: TEXT / no journal: CALL  a line or a call that must not be there (a call named
//                                  without all its words: none that begins with them)
//   question: TEXT|TITLE           every question asked, in order ("~" for a line break,
//                                  {devcon offer} for the offer's common text)
//   exit: CODE                     the exit code (required)
//   end: N errors|no log           the log's last line "Tunlatch: end (N errors)", or a run that
//                                  writes no end line (required)
//   after service: STATE / after adapter: on|off / after autorun: TEXT|absent
//   after devcon: MACHINE SIZE|absent / after work folder: present|absent / after polls: COUNT
//   after log lines: COUNT|no file
#include <gtest/gtest.h>

#include <algorithm>
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
// The registry values a run file names, as the fake registry keys them.
const std::map<std::string, std::string> kValues = {
    {"autorun", FakeRegistry::Key(outside::kAutorunKey, outside::kAutorunValue)},
    {"installdir", FakeRegistry::Key(outside::kInstallDirKey, outside::kInstallDirValue)},
    {"enablelua", FakeRegistry::Key(outside::kPolicySystemKey, outside::kEnableLuaValue)}};
const std::map<std::string, std::uint16_t> kMachines = {
    {"i386", kMachineI386}, {"amd64", kMachineAmd64}, {"ia64", kMachineIa64}};
using enum CaptureFailure;
const std::map<std::string, CaptureFailure> kFailures = {
    {"not started", NotStarted}, {"no pipe", PipeNotCreated}, {"read failed", ReadFailed}};
const std::map<std::string, Result<DeviceState>> kDeviceStates = {
    {"on", DeviceState{DeviceState::Kind::Running, 0}},
    {"off", DeviceState{DeviceState::Kind::Disabled, 22}},
    {"stopped", DeviceState{DeviceState::Kind::Stopped, 0}},
    {"problem", DeviceState{DeviceState::Kind::Problem, 28}},
    {"unreadable", SystemError{13, SystemError::Family::ConfigManager}}};
const std::map<std::string, Result<DeviceChange>> kDeviceChanges = {
    {"restart", DeviceChange::NeedsRestart},
    {"fails", SystemError{0xE000020Bu}},
    {"refused", SystemError{5}}};
const std::map<std::string, Result<StartType>> kStartTypes = {{"automatic", StartType::Automatic},
                                                              {"on demand", StartType::OnDemand},
                                                              {"disabled", StartType::Disabled},
                                                              {"unreadable", SystemError{5}}};
const std::map<std::string, FolderTrouble> kFolderTroubles = {
    {"unknown", FolderTrouble::Unknown}, {"unspellable", FolderTrouble::Unspellable}};
// The keys whose lines make a list; the others are the givens and what After renders.
const std::set<std::string> kListKeys = {"log", "no log", "journal", "no journal", "question"};

const std::string kProgramDir = "C:\\Tools\\Tunlatch\\";
const std::string kDevconPath = kProgramDir + "devcon.exe";
const std::string kWorkFolder = "C:\\Temp\\tunlatch.tmp";
// What the fake clock puts before every line.
const std::string kStamp = "12/5/2026 07:04:09.031 ";
// The offer's common text, too long to repeat in every run that shows it.
const std::string kDevconOffer =
    "Tunlatch can download the DEVCON archive and extract the correct version (32Bit or 64Bit) for "
    "your Windows.~~If you press \"Yes\", Tunlatch automaticaly does all steps for you.~If you "
    "press \"No\", Tunlatch opens your standard internet browser with the download url for "
    "devcon.exe.";

// "~" stands for a line break, which a line of the file cannot hold, and "^A" (as the log
// shows it) for a control byte.
std::string Unescaped(std::string text) {
    if (const std::size_t at = text.find("{devcon offer}"); at != std::string::npos)
        text.replace(at, 14, kDevconOffer);
    std::string bytes;
    for (const char c : text) bytes += c == '~' ? std::string("\r\n") : std::string(1, c);
    for (std::size_t at = 0; (at = bytes.find('^', at)) < bytes.size() - 1; ++at)
        bytes.replace(at, 2, 1, static_cast<char>(bytes[at + 1] ^ 0x40));
    return bytes;
}

// The first word of the value and the rest.
std::pair<std::string, std::string> Split(const std::string& value) {
    const std::size_t blank = std::min(value.find(' '), value.size());
    return {value.substr(0, blank), value.substr(std::min(blank + 1, value.size()))};
}

// A number in decimal, or in hexadecimal after "0x".
std::uint32_t Number(const std::string& text) {
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0));
}

// A program file: a DOS header pointing at the PE signature and the machine word, padded with
// zeros to an exact length.
std::string PeImage(std::uint16_t machine, std::size_t length) {
    std::string image(length, '\0');
    image.replace(0, 2, "MZ");
    image[0x3c] = '\x80';
    return image.replace(0x80, 6,
                         std::string("PE\0\0", 4) + char(machine & 0xff) + char(machine >> 8));
}

// "MACHINE SIZE": a program for the machine; "other SIZE": a file of that length that is no
// program; "MZ": a file of two bytes.
std::string ProgramFile(const std::string& value) {
    const auto [machine, size] = Split(value);
    if (machine == "MZ") return machine;
    if (machine == "other") return std::string(std::stoul(size), 'M');
    return PeImage(kMachines.at(machine), std::stoul(size));
}

// A 32-bit machine with the client installed and switched off, the right DevCon beside the
// program, and an adapter that follows DevCon's enable and disable.
struct HostRun {
    FakeSystem sys;
    bool adapterEnabled = false;
    std::map<std::string, Lines> expected;  // by key: "log", "no log", "journal", ...
    std::string arguments;                  // the program's command line after its name
    int exitCode = -1;
    std::map<std::string, CaptureResult> answers;  // DevCon's, by verb, where not the adapter's
    // The DevCon archive as the server delivers it and the members it holds.
    std::uint64_t arrives = outside::kDevconArchiveSize;
    bool downloadReportsSuccess = true;
    std::map<std::string, std::string> members = {
        {"\\i386\\devcon.exe", PeImage(kMachineI386, 55808)},
        {"\\ia64\\devcon.exe", PeImage(kMachineIa64, 92672)},
        {"\\eula.txt", "DevCon licence"}};
    std::deque<int> runSeconds;  // how long DevCon's runs take, one after the other

    HostRun() {
        sys.download.onDownload = [this](const std::string& path) -> Result<> {
            const SystemError refused{0x800C0008u, SystemError::Family::ComResult};
            if (!sys.files.FolderExists(path.substr(0, path.rfind('\\')))) return refused;
            // A server may answer without a body, and the call still succeeds.
            if (arrives > 0) sys.files.files[path] = std::string(arrives, 'z');
            return downloadReportsSuccess ? Result<>() : refused;
        };
        sys.zip.onUnzip = [this](const std::string& target) {
            for (const auto& [name, content] : members) sys.files.files[target + name] = content;
        };
        sys.processes.onRun = [this](const std::string& command, std::chrono::milliseconds limit) {
            const bool late = !runSeconds.empty() && std::chrono::seconds(runSeconds[0]) > limit;
            if (!runSeconds.empty()) runSeconds.pop_front();
            for (const auto& [verb, answer] : answers)
                if (command.find(" " + verb + " ") != std::string::npos) return answer;
            return late ? CaptureResult(NoEndInTime) : AdapterAnswer(command);
        };
        sys.files.files[kProgramDir + "unzip32.dll"] = "MZ";
        sys.files.files[kDevconPath] = std::string(55808, 'M');
        sys.files.files["C:\\Program Files\\Hamachi\\hamachi-2-ui.exe"] = "MZ";
        sys.registry.values[kValues.at("installdir")] = std::string("C:\\Program Files\\Hamachi");
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
    // The log's lines without their CR LF and time stamps.
    Lines Texts() {
        Lines texts;
        std::istringstream log(sys.files.ReadFileRange(LogPath(), 0, ~0u).value_or(""));
        for (std::string line; std::getline(log, line);) {
            line = line.substr(0, line.find('\r'));
            texts.push_back(line.starts_with(kStamp) ? line.substr(kStamp.size()) : line);
        }
        return texts;
    }
    void Setting(const std::string& section, const std::string& key, const std::string& value) {
        sys.files.files[ProgramDir() + "tunlatch.ini"];
        sys.settings.Put(ProgramDir() + "tunlatch.ini", section, key, value);
    }
    void Given(const std::string& what, const std::string& value) {
        const auto [first, rest] = Split(value);
        FakeProcesses& processes = sys.processes;
        auto& access = sys.access.access;
        const WriteAccess OthersMayWrite = WriteAccess::OthersMayWrite;
        using enum UserStartFailure::Kind;
        const std::map<std::string, std::function<void()>> givens = {
            {"setting", [&] { Setting("misc", first, rest); }},
            {"saved uiexe", [&] { Setting(kUiExeSection, kUiExeKey, value); }},
            {"service", [&] { sys.services.status = kStates.at(value); }},
            // COUNT STATE: the answers to the next COUNT queries; the last answer repeats.
            {"service answers",
             [&] {
                 auto& script = sys.services.statusScript;
                 script.insert(script.end(), std::stoul(first), kStates.at(rest));
             }},
            {"adapter", [&] { adapterEnabled = value == "on"; }},
            {"starttype", [&] { sys.services.startType = kStartTypes.at(value); }},
            {"starttype change fails", [&] { sys.services.startTypeChangeWorks = false; }},
            {"devcon answers", [&] { answers[first] = Unescaped(rest); }},
            {"devcon fails", [&] { answers[first] = kFailures.at(rest); }},
            {"devcon run takes", [&] { runSeconds.push_back(std::stoi(value)); }},
            {"launch fails", [&] { processes.launched = SystemError{Number(value)}; }},
            {"shell open fails", [&] { processes.shellOpened = SystemError{Number(value)}; }},
            {"user shell reached", [&] { processes.userShell = Done{}; }},
            {"user shell fails",
             [&] { processes.userShell = UserStartFailure(Failed, SystemError{Number(value)}); }},
            // REQUEST CODE: start, stop or starttype refused with CODE
            {"service refuses", [&] { sys.services.refusals[first] = Number(rest); }},
            {"device find fails", [&] { sys.devices.findFailure = SystemError{Number(value)}; }},
            {"process stays", [&] { processes.activeProcesses.insert(Number(value)); }},
            {"settings write fails", [&] { sys.settings.writeWorks = false; }},
            {"devcon missing", [&] { sys.files.files.erase(kDevconPath); }},
            {"devcon", [&] { sys.files.files[kDevconPath] = ProgramFile(value); }},
            {"devcon signature", [&] { sys.files.files[kDevconPath][0x80] = 'X'; }},
            {"arch", [&] { sys.os.info.Architecture = value; }},
            {"temp folder", [&] { sys.host.temp = value; }},
            {"text value", [&] { sys.registry.values[kValues.at(first)] = Unescaped(rest); }},
            {"dword value", [&] { sys.registry.values[kValues.at(first)] = std::stoi(rest); }},
            {"binary value", [&] { sys.registry.values[kValues.at(first)] = RegBinary{rest}; }},
            {"no value", [&] { sys.registry.values.erase(kValues.at(value)); }},
            // NAME CALL CODE
            {"value fails",
             [&] {
                 const auto [call, code] = Split(rest);
                 sys.registry.failures[call + " " + kValues.at(first)] = std::stoi(code);
             }},
            {"file", [&] { sys.files.files[value] = "MZ"; }},
            {"answer", [&] { sys.dialogs.answers.push_back(kAnswers.at(value)); }},
            {"another copy", [&] { sys.host.anotherCopy = true; }},
            {"arguments", [&] { arguments = value; }},
            {"not admin", [&] { sys.os.admin = false; }},
            {"log unopenable", [&] { sys.files.refused.insert(LogPath()); }},
            {"refused", [&] { sys.files.refused.insert(value); }},
            {"linked", [&] { sys.files.linked.insert(value); }},
            {"archive size", [&] { arrives = std::stoull(value); }},
            {"download reports failure", [&] { downloadReportsSuccess = false; }},
            {"no unzip32", [&] { sys.files.files.erase(kProgramDir + "unzip32.dll"); }},
            {"unzip refuses version",
             [&] { sys.zip.failure = ZipFailure(ZipFailure::Kind::UnsupportedVersion, 0, value); }},
            // CODE, after extracting the members.
            {"unzip fails",
             [&] { sys.zip.failure = ZipFailure(ZipFailure::Kind::Failed, Number(value), ""); }},
            {"member", [&] { members[first] = ProgramFile(rest); }},
            {"no member", [&] { members.erase(value); }},
            // What the member's copy delivers.
            {"member swapped", [&] { sys.files.swapped[kWorkFolder + first] = ProgramFile(rest); }},
            {"folder", [&] { sys.files.folders.insert(value); }},
            {"program folder trouble", [&] { sys.host.folder = kFolderTroubles.at(value); }},
            {"others may write", [&] { access[kProgramDir + value] = OthersMayWrite; }},
            // A folder above the program folder, by its path.
            {"others may replace", [&] { access[value + " above"] = OthersMayWrite; }},
            {"access unknown", [&] { access[kProgramDir + value] = WriteAccess::Unknown; }},
            // STATE ID NAME: a device that matches the adapter.
            {"device",
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
        if (given == givens.end()) return ADD_FAILURE() << "unknown given: " << what;
        given->second();
    }
    // The installed tool's machine and length.
    std::string Devcon() {
        const auto length = sys.files.FileLength(kDevconPath);
        std::string machine = "other";
        for (const auto& [name, word] : kMachines)
            if (ReadPeMachine(sys.files, kDevconPath) == word) machine = name;
        return length ? machine + " " + std::to_string(*length) : "absent";
    }
    // What a run file may check after the run, by key, each once.
    std::map<std::string, std::string> After() {
        const auto autorun = sys.registry.values.find(kValues.at("autorun"));
        const Lines texts = Texts();
        const bool ended = !texts.empty() && texts.back().starts_with("Tunlatch: end (");
        return {{"exit", std::to_string(exitCode)},
                {"end", ended ? texts.back().substr(15, texts.back().size() - 16) : "no log"},
                {"after service", ServiceStatusText(sys.services.status)},
                {"after adapter", adapterEnabled ? "on" : "off"},
                {"after autorun",
                 autorun != sys.registry.values.end() ? RegValueText(autorun->second) : "absent"},
                {"after devcon", Devcon()},
                {"after log lines",
                 sys.files.FileExists(LogPath()) ? std::to_string(texts.size()) : "no file"},
                {"after polls",
                 std::to_string(std::ranges::count(sys.processes.waits, kServicePollMs))},
                {"after work folder", sys.files.FolderExists(kWorkFolder) ? "present" : "absent"}};
    }
    void Read(const fs::path& path) {
        const auto after = After();
        std::ifstream lines(path);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#') continue;
            const std::size_t colon = line.find(':');
            const std::string key = line.substr(0, colon);
            const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
            if (colon == std::string::npos)
                ADD_FAILURE() << "a line without a key: " << line;
            else if (key.starts_with("given "))
                Given(key.substr(6), value);
            else if (kListKeys.count(key) || after.count(key))
                expected[key].push_back(key == "question" ? Unescaped(value) : value);
            else
                ADD_FAILURE() << "unknown key: " << key;
        }
        for (const char* required : {"exit", "end"})
            if (expected[required].size() != 1) ADD_FAILURE() << required << " needs one line";
    }
};

// Whether want appears in have in its order, others in between.
::testing::AssertionResult InOrder(const Lines& have, const Lines& want) {
    std::size_t found = 0;
    for (const std::string& line : have) found += found < want.size() && line == want[found];
    if (found == want.size()) return ::testing::AssertionSuccess();
    std::string all;
    for (const std::string& line : have) all += "\n  " + line;
    return ::testing::AssertionFailure() << "missing in order: " << want[found] << "\nhave:" << all;
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
    SCOPED_TRACE(GetParam().filename().string());
    HostRun t;
    t.Read(GetParam());
    t.exitCode = Main(t.sys.modules, t.arguments);
    const Lines texts = t.Texts(), &journal = t.sys.journal;
    EXPECT_TRUE(InOrder(texts, t.expected["log"]));
    EXPECT_TRUE(InOrder(journal, t.expected["journal"]));
    for (const std::string& line : t.expected["no log"])
        EXPECT_FALSE(InOrder(texts, {line})) << line;
    // A call named without all its words stands for every call that begins with them.
    for (const std::string& call : t.expected["no journal"])
        EXPECT_TRUE(std::ranges::none_of(journal, [&](const std::string& seen) {
            return seen == call || seen.starts_with(call + " ");
        })) << call;
    EXPECT_EQ(t.sys.dialogs.questions, t.expected["question"]);
    // What the file does not name is not checked.
    for (const auto& [key, have] : t.After())
        EXPECT_EQ(Lines{have}, t.expected.count(key) ? t.expected[key] : Lines{have}) << key;
}

INSTANTIATE_TEST_SUITE_P(Files, HostRunTest, ::testing::ValuesIn(RunFiles()), [](const auto& info) {
    std::string name = info.param.stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
}  // namespace tunlatch
