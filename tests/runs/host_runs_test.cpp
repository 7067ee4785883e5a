// Whole runs of Main against the fakes, written as data: one NAME.run file per case in this
// folder. Each line is "key: value"; lines starting with "#" are comments.
//   given KEY: VALUE               how the machine looks before the run (see Givens below)
//   log: TEXT / journal: TEXT      lines of the log (without time stamps) and calls that change
//                                  something, each in this order among others
//   no log: TEXT / no journal: TEXT  a line or a call that must not be there
//   question: TEXT|TITLE           every question asked, in order ("~" for a line break)
//   after service: STATE / after adapter: on|off / after autorun: TEXT|absent
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "components/outside_components.h"
#include "components/reg_value_text.h"
#include "run/result_texts.h"
#include "switch/main.h"
#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::map<std::string, ServiceStatus> kStates = {
    {"Stopped", ServiceStatus::Stopped},
    {"Running", ServiceStatus::Running},
    {"Start Pending", ServiceStatus::StartPending},
    {"Unknown", ServiceStatus::Unknown},
    {"OpenService fail!", ServiceStatus::ServiceNotOpened}};
const std::map<std::string, Answer> kAnswers = {
    {"yes", Answer::Yes}, {"no", Answer::No}, {"none", Answer::None}, {"cancel", Answer::Cancel}};
const std::map<std::string, std::pair<const char*, const char*>> kValues = {
    {"autorun", {outside::kAutorunKey, outside::kAutorunValue}},
    {"installdir", {outside::kInstallDirKey, outside::kInstallDirValue}},
    {"enablelua", {outside::kPolicySystemKey, outside::kEnableLuaValue}}};

const std::map<std::string, CaptureFailure> kFailures = {
    {"not started", CaptureFailure::NotStarted},
    {"no pipe", CaptureFailure::PipeNotCreated},
    {"read failed", CaptureFailure::ReadFailed}};

std::optional<StartType> StartTypeOf(const std::string& name) {
    const std::map<std::string, StartType> types = {{"automatic", StartType::Automatic},
                                                    {"on demand", StartType::OnDemand},
                                                    {"disabled", StartType::Disabled}};
    const auto type = types.find(name);
    return type == types.end() ? std::nullopt : std::optional(type->second);
}

// "~" stands for a line break, which a line of the file cannot hold.
std::string Unescaped(const std::string& text) {
    return std::regex_replace(text, std::regex("~"), "\r\n");
}

struct HostRun : fixture::StepRun {
    Lines log, journal, forbidden, questions, absent;
    std::map<std::string, std::string> after;
    std::map<std::string, CaptureResult> answers;  // DevCon's, by verb, where not the adapter's
    std::deque<int> runSeconds;  // how long DevCon's runs take, one after the other

    HostRun() {
        sys.processes.onRun = [this](const std::string& command, std::chrono::milliseconds limit) {
            const bool late = !runSeconds.empty() && std::chrono::seconds(runSeconds[0]) > limit;
            if (!runSeconds.empty()) runSeconds.pop_front();
            for (const auto& [verb, answer] : answers)
                if (command.find(" " + verb + " ") != std::string::npos) return answer;
            return late ? CaptureResult(CaptureFailure::NoEndInTime) : adapter.Answer(command);
        };
        sys.files.files.erase(fixture::kLogPath);
        Registry("installdir") = std::string("C:\\Program Files\\Hamachi");
        sys.os.info.Architecture = "x86";
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
        const std::string ini = fixture::kProgramDir + "tunlatch.ini";
        const std::map<std::string, std::function<void()>> givens = {
            {"setting", [&] { sys.settings.Put(ini, "misc", first, rest); }},
            {"saved uiexe", [&] { sys.settings.Put(ini, kUiExeSection, kUiExeKey, value); }},
            {"service", [&] { sys.services.status = kStates.at(value); }},
            {"adapter", [&] { adapter.enabled = value == "on"; }},
            {"starttype", [&] { sys.services.startType = StartTypeOf(value); }},
            {"starttype change fails", [&] { sys.services.startTypeChangeWorks = false; }},
            {"devcon answers", [&] { answers[first] = Unescaped(rest); }},
            {"devcon fails", [&] { answers[first] = kFailures.at(rest); }},
            {"devcon run takes", [&] { runSeconds.push_back(std::stoi(value)); }},
            {"launch fails",
             [&] {
                 sys.processes.launchResult = {false, 0,
                                               static_cast<std::uint32_t>(std::stoul(value))};
             }},
            {"process stays", [&] { sys.processes.activeProcesses = {4242}; }},
            {"settings write fails", [&] { sys.settings.writeWorks = false; }},
            {"devcon missing", [&] { sys.files.files.erase(fixture::kDevconPath); }},
            {"devcon size",
             [&] { sys.files.files[fixture::kDevconPath].resize(std::stoul(value)); }},
            {"arch", [&] { sys.os.info.Architecture = value; }},
            {"text value", [&] { Registry(first) = rest; }},
            {"dword value", [&] { Registry(first) = std::stoi(rest); }},
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
            {"not admin", [&] { sys.os.admin = false; }},
            {"log unopenable", [&] { sys.files.unopenable.insert(fixture::kLogPath); }},
            {"program folder", [&] {
                 sys.host.folder = value;
                 sys.files.files[value + "devcon.exe"] = sys.files.files[fixture::kDevconPath];
             }}};
        const auto given = givens.find(what);
        if (given == givens.end()) return ADD_FAILURE() << "unknown given: " << what;
        given->second();
    }
    void Read(const fs::path& path) {
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);) {
            if (line.empty() || line[0] == '#') continue;
            const std::size_t colon = line.find(':');
            const std::string key = line.substr(0, colon);
            const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
            if (key.rfind("given ", 0) == 0)
                Given(key.substr(6), value);
            else if (key == "log")
                log.push_back(value);
            else if (key == "journal")
                journal.push_back(value);
            else if (key == "no log")
                absent.push_back(value);
            else if (key == "no journal")
                forbidden.push_back(value);
            else if (key == "question")
                questions.push_back(std::regex_replace(value, std::regex("~"), "\r\n"));
            else
                after[key] = value;
        }
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
    for (const auto& entry : fs::directory_iterator(TUNLATCH_HOST_RUNS))
        if (entry.path().extension() == ".run") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class HostRunTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(HostRunTest, RunsAsWritten) {
    HostRun t;
    t.Read(GetParam());
    EXPECT_EQ(Main(t.sys.modules), 0);
    EXPECT_TRUE(InOrder(t.Texts(), t.log));
    EXPECT_TRUE(InOrder(t.Journal(), t.journal));
    for (const std::string& call : t.forbidden) EXPECT_FALSE(InOrder(t.Journal(), {call})) << call;
    for (const std::string& line : t.absent) EXPECT_FALSE(InOrder(t.Texts(), {line})) << line;
    EXPECT_EQ(t.sys.dialogs.questions, t.questions);
    const RegValue* autorun = t.sys.registry.Find(outside::kAutorunKey, outside::kAutorunValue);
    const std::map<std::string, std::string> state = {
        {"after service", ServiceStatusText(t.sys.services.status)},
        {"after adapter", t.adapter.enabled ? "on" : "off"},
        {"after autorun", autorun ? RegValueText(*autorun) : "absent"}};
    for (const auto& [key, value] : t.after) EXPECT_EQ(state.at(key), value) << key;
}

INSTANTIATE_TEST_SUITE_P(Files, HostRunTest, ::testing::ValuesIn(RunFiles()), [](const auto& info) {
    std::string name = info.param.stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
}  // namespace tunlatch
