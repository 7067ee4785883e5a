#pragma once
// In-memory stand-ins of every system interface, wired to one journal of the calls that change
// something, so that tests can check the order of steps across modules.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "run/system_modules.h"

namespace tunlatch {

using Text = const std::string&;

class Journaled {
public:
    std::vector<std::string>* journal = nullptr;

protected:
    // The result, after the call is written down.
    template <typename T>
    T Noted(std::string event, T result) const {
        if (journal) journal->push_back(std::move(event));
        return result;
    }
};

// Without a script the status follows start and stop at once; a script is read one answer per
// query, its last answer repeating.
// Refusals answer a request ("start", "stop", "starttype") with Windows' code instead.
class FakeServiceControl final : public ServiceControl, public Journaled {
public:
    Result<ServiceStatus> status = ServiceStatus::Stopped;
    std::deque<Result<ServiceStatus>> statusScript;
    Result<StartType> startType = StartType::OnDemand;
    bool startTypeChangeWorks = true;
    std::map<std::string, std::uint32_t> refusals;

    Result<ServiceStatus> ServiceGetStatus(Text) override {
        if (!statusScript.empty()) status = statusScript.front();
        if (statusScript.size() > 1) statusScript.pop_front();
        return status;
    }
    Result<> ServiceStart(Text name) override {
        return Request("ServiceStart " + name, "start", ServiceStatus::Running);
    }
    Result<> ServiceStop(Text name) override {
        return Request("ServiceStop " + name, "stop", ServiceStatus::Stopped);
    }
    Result<> ServiceSetStartType(Text, StartType type) override {
        const std::string event = "ServiceSetStartType " + std::to_string(int(type));
        Result<> result = Request(event, "starttype", std::nullopt);
        if (result && startTypeChangeWorks) startType = type;
        return result;
    }
    Result<StartType> ServiceGetStartType(Text) override { return startType; }

private:
    // A request that is not refused reaches its target at once, unless a script answers.
    Result<> Request(Text event, Text request, std::optional<ServiceStatus> target) {
        if (Noted(event, refusals.count(request))) return SystemError{refusals[request]};
        if (statusScript.empty() && target) status = *target;
        return {};
    }
};

class FakeProcesses final : public Processes, public Journaled {
public:
    std::function<CaptureResult(Text, std::chrono::milliseconds)> onRun;
    std::vector<std::int32_t> waits;
    std::set<std::uint32_t> activeProcesses;
    Result<std::uint32_t> launched = 4242u;
    Result<> shellOpened;
    // As the signed-in user: no desktop shell unless a test gives one, as on Wine's desktop.
    // What the shell starts runs as 5151.
    Result<Done, UserStartFailure> userShell = UserStartFailure{};

    CaptureResult RunCaptured(Text line, std::chrono::milliseconds limit) override {
        return Noted("RunCaptured " + line, onRun)(line, limit);
    }
    void WaitMs(std::int32_t ms) override {
        waits.push_back(Noted("WaitMs " + std::to_string(ms), ms));
    }
    bool IsProcessActive(std::uint32_t id) override { return activeProcesses.count(id) > 0; }
    Result<> ShellOpen(Text target) override { return Noted("ShellOpen " + target, shellOpened); }
    Result<std::uint32_t> LaunchDetached(Text line) override {
        return Noted("Launch " + line, launched);
    }
    Result<std::uint32_t, UserStartFailure> LaunchAsUser(Text line) override {
        if (Noted("LaunchAsUser " + line, userShell)) return 5151u;
        return userShell.error();
    }
    Result<Done, UserStartFailure> ShellOpenAsUser(Text target) override {
        return Noted("ShellOpenAsUser " + target, userShell);
    }
};

// Machine-wide values by key and name; failures force Windows' code for a value's calls.
class FakeRegistry final : public Registry, public Journaled {
public:
    std::map<std::string, RegValue> values;
    std::map<std::string, std::int32_t> failures;  // by the call and Key: "get", "set", "delete"

    static std::string Key(Text subKey, Text name) { return subKey + "\\" + name; }
    RegRead RegValueGet(Text subKey, Text name) override {
        const RegResult read = Outcome("get", Key(subKey, name));
        return {read, read.outcome == RegOutcome::Done ? values[Key(subKey, name)] : RegValue()};
    }
    RegResult RegValueSet(Text subKey, Text name, Text text) override {
        const auto result = Noted("RegValueSet " + name, Outcome("set", Key(subKey, name)));
        if (result.outcome == RegOutcome::Done) values[Key(subKey, name)] = text;
        return result;
    }
    RegResult RegValueDelete(Text subKey, Text name) override {
        const auto result = Noted("RegValueDelete " + name, Outcome("delete", Key(subKey, name)));
        if (result.outcome == RegOutcome::Done) values.erase(Key(subKey, name));
        return result;
    }

private:
    // A value is set whether or not it was there before.
    RegResult Outcome(Text call, Text key) const {
        if (failures.count(call + " " + key))
            return {RegOutcome::Failed, failures.at(call + " " + key)};
        if (call != "set" && !values.count(key)) return {RegOutcome::Absent, 2};
        return {RegOutcome::Done, 0};
    }
};

// Files by full path with their contents, and a set of folders.
class FakeFileSystem final : public FileSystem, public Journaled {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    // Locked files: DeleteTree, MoveFileTo and OpenForAppend fail on these.
    std::set<std::string> refused;
    std::set<std::string> linked;  // links: CopyFileTo and MoveFileTo refuse to write these
    // What a copy of these files delivers: a user process swapped them since they were read.
    std::map<std::string, std::string> swapped;

    bool FileExists(Text path) override { return files.count(path) > 0; }
    bool FolderExists(Text path) override { return folders.count(path) > 0; }
    bool DeleteTree(Text path) override {
        if (Noted("DeleteTree " + path, refused.count(path))) return false;
        const auto inside = [&](Text p) { return p == path || p.starts_with(path + "\\"); };
        std::erase_if(files, [&](const auto& f) { return inside(f.first); });
        std::erase_if(folders, inside);
        return true;
    }
    std::optional<std::uint64_t> FileLength(Text path) override {
        return files.count(path) ? std::optional(files[path].size()) : std::nullopt;
    }
    std::optional<std::string> ReadFileRange(Text path, std::uint64_t offset,
                                             std::uint32_t count) override {
        if (!files.count(path)) return std::nullopt;
        return files[path].substr(std::min<std::uint64_t>(offset, files[path].size()), count);
    }
    Result<> CopyFileTo(Text from, Text to) override {
        if (Noted("CopyFileTo " + to, linked.count(to))) return SystemError{kWriteRefusedCode};
        if (!files.count(from) || folders.count(to)) return SystemError{2};
        files[to] = swapped.count(from) ? swapped[from] : files[from];
        return {};
    }
    Result<> MoveFileTo(Text from, Text to) override {
        if (Noted("MoveFileTo " + to, linked.count(to))) return SystemError{kWriteRefusedCode};
        if (!files.count(from) || folders.count(to) || refused.count(to)) return SystemError{5};
        files[to] = std::move(files.extract(from).mapped());
        return {};
    }
    bool CreateFolder(Text path) override {
        return !Noted("CreateFolder " + path, files.count(path)) && folders.insert(path).second;
    }
    std::unique_ptr<AppendFile> OpenForAppend(Text path) override {
        if (refused.count(path) || folders.count(path)) return nullptr;
        return std::make_unique<File>(files[path]);
    }

private:
    // The file's content stays where it is: a run neither moves nor deletes a file it appends to.
    struct File final : AppendFile {
        explicit File(std::string& content) : content(content) {}
        bool AppendLine(Text text) override {
            content += text + "\r\n";
            return true;
        }
        std::string& content;
    };
};

// Values by file, section and key; the default for what is missing.
class FakeSettingsFile final : public SettingsFile, public Journaled {
public:
    std::map<std::string, std::string> values;
    bool writeWorks = true;

    void Put(Text path, Text section, Text key, Text value) {
        values[path + "|" + section + "|" + key] = value;
    }
    std::string ReadINI(Text path, Text section, Text key, Text defaultValue) override {
        const auto it = values.find(path + "|" + section + "|" + key);
        return it == values.end() ? defaultValue : it->second;
    }
    Result<> WriteINI(Text path, Text section, Text key, Text value) override {
        if (!Noted("WriteINI " + key + "=" + value, writeWorks)) return SystemError{5};
        Put(path, section, key, value);
        return {};
    }
};

class FakeClock final : public Clock {
public:
    TimeOfDay LocalTime() override { return {7, 4, 9, 31}; }
    std::string ShortDate() override { return "12/5/2026"; }
};

class FakeTray final : public Tray, public Journaled {
public:
    bool AddIcon(TrayPicture p, Text tip) override { return Record("Add " + kColour[int(p)], tip); }
    bool ChangePicture(TrayPicture p) override { return Record("Picture", kColour[int(p)]); }
    bool ShowBalloon(Text title, Text text, BalloonKind kind) override {
        return Record("Balloon " + kKinds[int(kind)], text + " [" + title + "]");
    }
    bool DeleteIcon() override { return Noted("Tray Delete", true); }

private:
    inline static const std::string kColour[] = {"grey", "red", "green-red", "green"};
    inline static const std::string kKinds[] = {"silent", "audible", "warning"};
    bool Record(Text call, Text what) const { return Noted("Tray " + call + " " + what, true); }
};

// Answers questions in turn (No after the last answer) and records them as "text|title".
class FakeDialogs final : public Dialogs, public Journaled {
public:
    std::vector<Answer> answers;
    std::vector<std::string> questions;
    std::size_t answered = 0;

    Answer AskYesNo(Text text, Text title) override { return Asked(text + "|" + title); }
    Answer AskYesNoCancel(Text text, Text title) override { return Asked(text + "|?" + title); }
    void ShowError(Text text, Text title) override { Asked(text + "|!" + title, false); }
    std::string ShowInputBox(Text, Text) override { return {}; }

private:
    Answer Asked(std::string question, bool answerable = true) {
        questions.push_back(Noted("MessageBox", std::move(question)));
        return answerable && answered < answers.size() ? answers[answered++] : Answer::No;
    }
};

class FakeDownload final : public Download, public Journaled {
public:
    std::function<Result<>(Text path)> onDownload;
    Result<> UrlDownloadToFile(Text url, Text path) override {
        return Noted("Download " + url + " " + path, onDownload)(path);
    }
};

// The library's report comes after onUnzip has written what it extracts: failure, when set.
class FakeZip final : public Zip, public Journaled {
public:
    std::function<void(Text target)> onUnzip;
    std::optional<ZipFailure> failure;
    Result<Done, ZipFailure> UnzipArchive(Text archive, Text target) override {
        Noted("Unzip " + archive + " " + target, onUnzip)(target);
        return failure ? Result<Done, ZipFailure>(*failure) : Done{};
    }
};

class FakeOsFacts final : public OsFacts {
public:
    OsInformation info;
    bool admin = true;
    OsInformation GetOSInf() override { return info; }
    bool IsAdmin() override { return admin; }
};

class FakeProgramHost final : public ProgramHost {
public:
    bool anotherCopy = false;
    Result<std::string, FolderTrouble> folder = std::string("C:\\Tools\\Tunlatch");
    std::optional<std::string> temp = "C:\\Temp\\";
    unsigned bits = 64;

    bool AnotherCopyRunning() override { return anotherCopy; }
    Result<std::string, FolderTrouble> ProgramFolder() override { return folder; }
    VersionNumbers ProgramVersion() override { return {1, 2, 0, 1}; }
    std::optional<std::string> TempFolder() override { return temp; }
    unsigned ProgramBits() override { return bits; }
};

// Only administrators may change what is not named here; a folder above the program folder is
// named with " above" after its path, so that a run tells the two reaches apart.
class FakeAccessLists final : public AccessLists {
public:
    std::map<std::string, WriteAccess> access;
    WriteAccess WhoMayWrite(Text path, AccessReach reach) override {
        const std::string key = path + (reach == AccessReach::Ancestor ? " above" : "");
        return access.count(key) ? access[key] : WriteAccess::OnlyAdministrators;
    }
};

// Devices by instance ID; a change that is done sets the state.
class FakeDevices final : public Devices, public Journaled {
public:
    std::vector<Device> devices;  // all of them match
    std::map<std::string, Result<DeviceState>> states;
    Result<DeviceChange> change = DeviceChange::Done;
    std::optional<SystemError> findFailure;  // what the finds after the last that sees them get
    int vanishAfter = -1;                    // how many finds see the devices; -1: every find

    Result<std::vector<Device>> FindDevices(Text) override {
        if (vanishAfter != 0 && vanishAfter-- != 0) return devices;
        return findFailure ? Result<std::vector<Device>>(*findFailure) : std::vector<Device>();
    }
    Result<DeviceState> GetDeviceState(Text id) override {
        const SystemError unknown{13, SystemError::Family::ConfigManager};
        return states.count(id) ? states.at(id) : unknown;
    }
    Result<DeviceChange> SetDeviceEnabled(Text id, bool enable) override {
        const auto now = enable ? DeviceState::Kind::Running : DeviceState::Kind::Disabled;
        if (change && *change == DeviceChange::Done)
            states.insert_or_assign(id, DeviceState{now, 0});
        return Noted("SetDeviceEnabled " + id + (enable ? " on" : " off"), change);
    }
};

// Every fake of a run, reporting to one journal, with the view that the steps take.
struct FakeSystem {
    std::vector<std::string> journal;
    FakeServiceControl services;
    FakeProcesses processes;
    FakeRegistry registry;
    FakeOsFacts os;
    FakeFileSystem files;
    FakeSettingsFile settings;
    FakeClock clock;
    FakeTray tray;
    FakeDialogs dialogs;
    FakeDownload download;
    FakeZip zip;
    FakeProgramHost host;
    FakeAccessLists access;
    FakeDevices devices;
    SystemModules modules{services, processes, registry, os,  files, settings, clock,
                          tray,     dialogs,   download, zip, host,  access,   devices};

    FakeSystem() {
        Journaled* const journaled[] = {&services, &processes, &registry, &files, &settings,
                                        &tray,     &dialogs,   &download, &zip,   &devices};
        for (Journaled* fake : journaled) fake->journal = &journal;
    }
    FakeSystem(const FakeSystem&) = delete;
};

}  // namespace tunlatch
