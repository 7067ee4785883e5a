#pragma once
// In-memory stand-ins of every system interface, wired to one journal of the calls that change
// something, so that tests can check the order of steps across modules.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run/system_modules.h"

namespace tunlatch {

struct Journal {
    std::vector<std::string> events;
};

class Journaled {
public:
    Journal* journal = nullptr;

protected:
    void Note(std::string event) const {
        if (journal) journal->events.push_back(std::move(event));
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

    Result<ServiceStatus> ServiceGetStatus(const std::string&) override {
        if (!statusScript.empty()) status = statusScript.front();
        if (statusScript.size() > 1) statusScript.pop_front();
        return status;
    }
    Result<> ServiceStart(const std::string& name) override {
        return Request("ServiceStart " + name, "start", ServiceStatus::Running);
    }
    Result<> ServiceStop(const std::string& name) override {
        return Request("ServiceStop " + name, "stop", ServiceStatus::Stopped);
    }
    Result<> ServiceSetStartType(const std::string&, StartType type) override {
        Note("ServiceSetStartType " + std::to_string(static_cast<int>(type)));
        if (refusals.count("starttype")) return SystemError{refusals["starttype"]};
        if (startTypeChangeWorks) startType = type;
        return {};
    }
    Result<StartType> ServiceGetStartType(const std::string&) override { return startType; }

private:
    Result<> Request(std::string event, const std::string& request, ServiceStatus target) {
        Note(std::move(event));
        if (refusals.count(request)) return SystemError{refusals[request]};
        if (statusScript.empty()) status = target;
        return {};
    }
};

class FakeProcesses final : public Processes, public Journaled {
public:
    std::function<CaptureResult(const std::string&, std::chrono::milliseconds)> onRun =
        [](auto&&...) { return CaptureResult(std::string()); };
    std::vector<std::int32_t> waits;
    std::set<std::uint32_t> activeProcesses;
    Result<std::uint32_t> launchResult = 4242u;
    Result<> shellOpenResult;
    // As the signed-in user: no desktop shell unless a test gives one, as on Wine's desktop.
    Result<std::uint32_t, UserStartFailure> userLaunchResult = UserStartFailure{};
    Result<Done, UserStartFailure> userOpenResult = UserStartFailure{};

    CaptureResult RunCaptured(const std::string& commandLine,
                              std::chrono::milliseconds timeLimit) override {
        Note("RunCaptured " + commandLine);
        return onRun(commandLine, timeLimit);
    }
    void WaitMs(std::int32_t ms) override {
        waits.push_back(ms);
        Note("WaitMs " + std::to_string(ms));
    }
    bool IsProcessActive(std::uint32_t id) override { return activeProcesses.count(id) > 0; }
    Result<> ShellOpen(const std::string& target) override {
        Note("ShellOpen " + target);
        return shellOpenResult;
    }
    Result<std::uint32_t> LaunchDetached(const std::string& commandLine) override {
        Note("Launch " + commandLine);
        return launchResult;
    }
    Result<std::uint32_t, UserStartFailure> LaunchAsUser(const std::string& commandLine) override {
        Note("LaunchAsUser " + commandLine);
        return userLaunchResult;
    }
    Result<Done, UserStartFailure> ShellOpenAsUser(const std::string& target) override {
        Note("ShellOpenAsUser " + target);
        return userOpenResult;
    }
};

// Machine-wide values by key and name; failures force
// Windows' code for a value's calls.
class FakeRegistry final : public Registry, public Journaled {
public:
    std::map<std::string, RegValue> values;
    std::map<std::string, std::int32_t> failures;  // by Key and the call: "get", "set", "delete"

    static std::string Key(const std::string& subKey, const std::string& name) {
        return subKey + "\\" + name;
    }
    const RegValue* Find(const std::string& subKey, const std::string& name) const {
        const auto it = values.find(Key(subKey, name));
        return it == values.end() ? nullptr : &it->second;
    }
    RegRead RegValueGet(const std::string& subKey, const std::string& name) override {
        const auto it = values.find(Key(subKey, name));
        const RegResult result = Result("get", subKey, name, it != values.end());
        return {result, result.outcome == RegOutcome::Done ? it->second : RegValue()};
    }
    RegResult RegValueSet(const std::string& subKey, const std::string& name,
                          const std::string& text) override {
        Note("RegValueSet " + name);
        const RegResult result = Result("set", subKey, name, true);
        if (result.outcome == RegOutcome::Done) values[Key(subKey, name)] = text;
        return result;
    }
    RegResult RegValueDelete(const std::string& subKey, const std::string& name) override {
        Note("RegValueDelete " + name);
        const RegResult result = Result("delete", subKey, name, Find(subKey, name) != nullptr);
        if (result.outcome == RegOutcome::Done) values.erase(Key(subKey, name));
        return result;
    }

private:
    RegResult Result(const std::string& call, const std::string& subKey, const std::string& name,
                     bool present) const {
        const auto failure = failures.find(call + " " + Key(subKey, name));
        if (failure != failures.end()) return {RegOutcome::Failed, failure->second};
        return present ? RegResult{RegOutcome::Done, 0} : RegResult{RegOutcome::Absent, 2};
    }
};

// Files by full path with their contents, and a set of folders.
class FakeFileSystem final : public FileSystem, public Journaled {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> refused;  // DeleteTree and MoveFileTo fail on these, as on a locked file
    std::set<std::string> unopenable;  // OpenForAppend fails for these
    std::set<std::string> linked;      // links: CopyFileTo and MoveFileTo refuse to write these
    // What a copy of these files delivers: a user process swapped them since they were read.
    std::map<std::string, std::string> swapped;
    bool appendFails = false;

    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
    bool DeleteTree(const std::string& path) override {
        Note("DeleteTree " + path);
        if (refused.count(path)) return false;
        const auto inside = [&](const std::string& p) {
            return p == path || p.rfind(path + "\\", 0) == 0;
        };
        std::erase_if(files, [&](const auto& f) { return inside(f.first); });
        std::erase_if(folders, inside);
        return true;
    }
    std::optional<std::uint64_t> FileLength(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second.size();
    }
    std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset,
                                             std::uint32_t count) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return offset >= it->second.size() ? std::string() : it->second.substr(offset, count);
    }
    Result<> CopyFileTo(const std::string& from, const std::string& to) override {
        Note("CopyFileTo " + to);
        if (linked.count(to)) return SystemError{kWriteRefusedCode};
        if (!files.count(from) || folders.count(to)) return SystemError{2};
        files[to] = swapped.count(from) ? swapped[from] : files[from];
        return {};
    }
    Result<> MoveFileTo(const std::string& from, const std::string& to) override {
        Note("MoveFileTo " + to);
        if (linked.count(to)) return SystemError{kWriteRefusedCode};
        if (!files.count(from) || folders.count(to) || refused.count(to)) return SystemError{5};
        files[to] = files[from];
        files.erase(from);
        return {};
    }
    bool CreateFolder(const std::string& path) override {
        Note("CreateFolder " + path);
        return !files.count(path) && folders.insert(path).second;
    }
    std::unique_ptr<AppendFile> OpenForAppend(const std::string& path) override {
        if (unopenable.count(path) || folders.count(path)) return nullptr;
        files[path];
        return std::make_unique<File>(*this, path);
    }
    // The lines of a file written through OpenForAppend, without their CR LF.
    std::vector<std::string> Lines(const std::string& path) const {
        std::vector<std::string> lines;
        std::istringstream in(files.count(path) ? files.at(path) : "");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.find('\r')));
        return lines;
    }

private:
    class File final : public AppendFile {
    public:
        File(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        bool AppendLine(const std::string& text) override {
            if (!fs_.appendFails) fs_.files[path_] += text + "\r\n";
            return !fs_.appendFails;
        }

    private:
        FakeFileSystem& fs_;
        std::string path_;
    };
};

// Values by file, section and key; the default for what is missing.
class FakeSettingsFile final : public SettingsFile, public Journaled {
public:
    std::map<std::string, std::string> values;
    bool writeWorks = true;

    static std::string Key(const std::string& path, const std::string& section,
                           const std::string& key) {
        return path + "|" + section + "|" + key;
    }
    void Put(const std::string& path, const std::string& section, const std::string& key,
             const std::string& value) {
        values[Key(path, section, key)] = value;
    }
    std::string ReadINI(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultValue) override {
        const auto it = values.find(Key(path, section, key));
        return it == values.end() ? defaultValue : it->second;
    }
    Result<> WriteINI(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value) override {
        Note("WriteINI " + key + "=" + value);
        if (!writeWorks) return SystemError{5};
        Put(path, section, key, value);
        return {};
    }
};

class FakeClock final : public Clock {
public:
    TimeOfDay local{7, 4, 9, 31};
    std::string shortDate = "12/5/2026";
    TimeOfDay LocalTime() override { return local; }
    std::string ShortDate() override { return shortDate; }
};

class FakeTray final : public Tray, public Journaled {
public:
    bool AddIcon(TrayPicture picture, const std::string& tip) override {
        return Record("Add " + Name(picture) + " " + tip);
    }
    bool ChangePicture(TrayPicture picture) override { return Record("Picture " + Name(picture)); }
    bool ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) override {
        constexpr const char* kKinds[] = {"silent ", "audible ", "warning "};
        return Record(std::string("Balloon ") + kKinds[static_cast<int>(kind)] + text + " [" +
                      title + "]");
    }
    bool DeleteIcon() override { return Record("Delete"); }

private:
    static std::string Name(TrayPicture p) {
        constexpr const char* kNames[] = {"grey", "red", "green-red", "green"};
        return kNames[static_cast<int>(p)];
    }
    bool Record(const std::string& call) {
        Note("Tray " + call);
        return true;
    }
};

// Answers questions from a queue (No when it is empty) and records them as "text|title".
class FakeDialogs final : public Dialogs, public Journaled {
public:
    std::deque<Answer> answers;
    std::vector<std::string> questions;

    Answer AskYesNo(const std::string& text, const std::string& title) override {
        return Asked(text + "|" + title);
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override {
        return Asked(text + "|?" + title);
    }
    void ShowError(const std::string& text, const std::string& title) override {
        Note("MessageBox");
        questions.push_back(text + "|!" + title);
    }
    std::string ShowInputBox(const std::string&, const std::string&) override { return {}; }

private:
    Answer Asked(std::string question) {
        Note("MessageBox");
        questions.push_back(std::move(question));
        if (answers.empty()) return Answer::No;
        const Answer next = answers.front();
        answers.pop_front();
        return next;
    }
};

class FakeDownload final : public Download, public Journaled {
public:
    std::function<Result<>(const std::string& path)> onDownload = [](const std::string&) {
        return Result<>(SystemError{0x800C0008u, SystemError::Family::ComResult});
    };
    Result<> UrlDownloadToFile(const std::string& url, const std::string& path) override {
        Note("Download " + url + " " + path);
        return onDownload(path);
    }
};

// The library's report comes after onUnzip has written what it extracts: failure, when set.
class FakeZip final : public Zip, public Journaled {
public:
    std::function<void(const std::string& target)> onUnzip = [](const std::string&) {};
    std::optional<ZipFailure> failure;
    Result<Done, ZipFailure> UnzipArchive(const std::string& archive,
                                          const std::string& target) override {
        Note("Unzip " + archive + " " + target);
        onUnzip(target);
        if (failure) return *failure;
        return Done{};
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
    VersionNumbers version{1, 2, 0, 1};
    std::optional<std::string> temp = "C:\\Temp\\";
    unsigned bits = 64;

    bool AnotherCopyRunning() override { return anotherCopy; }
    Result<std::string, FolderTrouble> ProgramFolder() override { return folder; }
    VersionNumbers ProgramVersion() override { return version; }
    std::optional<std::string> TempFolder() override { return temp; }
    unsigned ProgramBits() override { return bits; }
};

// Only administrators may change what is not named here; a folder above the program folder is
// named with " above" after its path, so that a run tells the two reaches apart.
class FakeAccessLists final : public AccessLists {
public:
    std::map<std::string, WriteAccess> access;
    WriteAccess WhoMayWrite(const std::string& path, AccessReach reach) override {
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

    Result<std::vector<Device>> FindDevices(const std::string&) override {
        if (vanishAfter != 0 && vanishAfter-- != 0) return devices;
        if (findFailure) return *findFailure;
        return std::vector<Device>();
    }
    Result<DeviceState> GetDeviceState(const std::string& id) override {
        const auto state = states.find(id);
        if (state == states.end()) return SystemError{13, SystemError::Family::ConfigManager};
        return state->second;
    }
    Result<DeviceChange> SetDeviceEnabled(const std::string& id, bool enable) override {
        Note("SetDeviceEnabled " + id + (enable ? " on" : " off"));
        using Kind = DeviceState::Kind;
        if (change && *change == DeviceChange::Done)
            states.insert_or_assign(id, DeviceState{enable ? Kind::Running : Kind::Disabled, 0});
        return change;
    }
};

// Every fake of a run, reporting to one journal, with the view that the steps take.
struct FakeSystem {
    Journal journal;
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
        for (Journaled* j :
             std::initializer_list<Journaled*>{&services, &processes, &registry, &files, &settings,
                                               &tray, &dialogs, &download, &zip, &devices})
            j->journal = &journal;
    }
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;
};

}  // namespace tunlatch
