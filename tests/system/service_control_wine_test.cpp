// The service control module against Wine's real service manager, driving the stand-in service
// registered under the VPN client's service name for each test and removed afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "system/win32/service_control.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kService = "Hamachi2Svc";
// Far above any state change of a test; reached only when the service is stuck.
constexpr auto kDeadline = std::chrono::seconds(15);
constexpr DWORD kPollMs = 20;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The configuration fields a start-type change must leave alone, as the manager reports them.
struct ServiceConfig {
    DWORD serviceType = 0;
    DWORD startType = 0;
    DWORD errorControl = 0;
    std::string binaryPath;
    std::string group;
    std::vector<std::string> dependencies;
    std::string account;
    std::string displayName;
    bool operator==(const ServiceConfig&) const = default;
};

void PrintTo(const ServiceConfig& c, std::ostream* out) {
    *out << "{type " << c.serviceType << ", start " << c.startType << ", error control "
         << c.errorControl << ", path '" << c.binaryPath << "', group '" << c.group
         << "', dependencies";
    for (const std::string& d : c.dependencies) *out << " '" << d << "'";
    *out << ", account '" << c.account << "', display name '" << c.displayName << "'}";
}

bool RunsOnWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

std::string Text(const char* text) {
    return text ? text : "";
}

std::vector<std::string> SplitMultiText(const char* texts) {
    std::vector<std::string> result;
    for (const char* text = texts; text && *text; text += std::strlen(text) + 1) {
        result.emplace_back(text);
    }
    return result;
}

// Wine's manager leaves the dependencies out of QueryServiceConfig; they are read where every
// manager keeps them, the service key's DependOnService value.
std::vector<std::string> StoredDependencies(const std::string& serviceName) {
    const std::string path = "System\\CurrentControlSet\\Services\\" + serviceName;
    std::vector<char> texts(4096);
    DWORD size = static_cast<DWORD>(texts.size() - 2);
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "DependOnService", RRF_RT_REG_MULTI_SZ,
                       nullptr, texts.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    return SplitMultiText(texts.data());
}

std::optional<ServiceConfig> ReadConfig(SC_HANDLE service, const std::string& serviceName) {
    DWORD needed = 0;
    ::QueryServiceConfigA(service, nullptr, 0, &needed);
    std::vector<QUERY_SERVICE_CONFIGA> buffer(needed / sizeof(QUERY_SERVICE_CONFIGA) + 1);
    if (!::QueryServiceConfigA(service, buffer.data(),
                               static_cast<DWORD>(buffer.size() * sizeof buffer[0]), &needed)) {
        return std::nullopt;
    }
    const QUERY_SERVICE_CONFIGA& raw = buffer[0];
    std::vector<std::string> dependencies = SplitMultiText(raw.lpDependencies);
    if (dependencies.empty()) dependencies = StoredDependencies(serviceName);
    return ServiceConfig{raw.dwServiceType,
                         raw.dwStartType,
                         raw.dwErrorControl,
                         Text(raw.lpBinaryPathName),
                         Text(raw.lpLoadOrderGroup),
                         std::move(dependencies),
                         Text(raw.lpServiceStartName),
                         Text(raw.lpDisplayName)};
}

DWORD RawState(SC_HANDLE service, DWORD* checkPoint = nullptr) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) return 0;
    if (checkPoint) *checkPoint = status.dwCheckPoint;
    return status.dwCurrentState;
}

DWORD ProcessId(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                sizeof status, &needed)) {
        return 0;
    }
    return status.dwProcessId;
}

// Stops a service if it runs and waits until the manager has it stopped, then deletes it.
void StopAndDelete(SC_HANDLE service) {
    SERVICE_STATUS status{};
    ::ControlService(service, SERVICE_CONTROL_STOP, &status);
    const auto deadline = Clock::now() + kDeadline;
    while (RawState(service) != SERVICE_STOPPED && Clock::now() < deadline) ::Sleep(kPollMs);
    ::DeleteService(service);
}

class StandinService : public ::testing::Test {
protected:
    void SetUp() override {
        manager_ = UniqueServiceHandle(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ASSERT_TRUE(manager_) << ::GetLastError();
        const std::string exe = ProgramFolder() + "hamachi_standin_service.exe";
        ASSERT_NE(::GetFileAttributesA(exe.c_str()), INVALID_FILE_ATTRIBUTES) << exe;
        const std::string binaryPath = "\"" + exe + "\"";

        // A service left by an aborted run is removed first; a deleted one disappears only once
        // its process and every handle to it are gone, so creation is retried until then.
        const auto deadline = Clock::now() + kDeadline;
        for (;;) {
            service_ = UniqueServiceHandle(::CreateServiceA(
                manager_.get(), kService, kService, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr,
                nullptr, nullptr, nullptr));
            if (service_) break;
            const DWORD error = ::GetLastError();
            ASSERT_TRUE(error == ERROR_SERVICE_EXISTS || error == ERROR_SERVICE_MARKED_FOR_DELETE)
                << error;
            ASSERT_LT(Clock::now(), deadline) << "service not removable, error " << error;
            if (error == ERROR_SERVICE_EXISTS) {
                const UniqueServiceHandle leftover(
                    ::OpenServiceA(manager_.get(), kService, SERVICE_ALL_ACCESS));
                if (leftover) StopAndDelete(leftover.get());
            } else {
                ::Sleep(kPollMs);
            }
        }
    }

    void TearDown() override {
        if (service_) StopAndDelete(service_.get());
        service_.reset();
    }

    void SetParameter(const char* name, DWORD value) {
        const std::string path =
            std::string("System\\CurrentControlSet\\Services\\") + kService + "\\Parameters";
        UniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(key.get(), name, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
    }

    // Polls the module until the status reads `wanted` or the deadline passes; every distinct
    // state read on the way is appended to `seen`.
    ServiceStatus WaitForStatus(ServiceStatus wanted, std::vector<ServiceStatus>* seen = nullptr) {
        const auto deadline = Clock::now() + kDeadline;
        for (;;) {
            const ServiceStatus status = control_.ServiceGetStatus(kService);
            if (seen && (seen->empty() || seen->back() != status)) seen->push_back(status);
            if (status == wanted || Clock::now() >= deadline) return status;
            ::Sleep(kPollMs);
        }
    }

    Win32ServiceControl control_;
    UniqueServiceHandle manager_;
    UniqueServiceHandle service_;
};

TEST_F(StandinService, ReadsStoppedOnceRegistered) {
    EXPECT_EQ(control_.ServiceGetStatus(kService), ServiceStatus::Stopped);
}

TEST_F(StandinService, StartsToRunningAndStopsToStopped) {
    control_.ServiceStart(kService);
    EXPECT_EQ(WaitForStatus(ServiceStatus::Running), ServiceStatus::Running);
    control_.ServiceStop(kService);
    EXPECT_EQ(WaitForStatus(ServiceStatus::Stopped), ServiceStatus::Stopped);
}

TEST_F(StandinService, SlowStartAndStopPassThroughTheirPendingStates) {
    constexpr DWORD kStartDelayMs = 800;
    constexpr DWORD kStopDelayMs = 500;
    SetParameter("StartDelayMs", kStartDelayMs);
    SetParameter("StopDelayMs", kStopDelayMs);

    std::vector<ServiceStatus> seen;
    auto begin = Clock::now();
    control_.ServiceStart(kService);
    EXPECT_EQ(WaitForStatus(ServiceStatus::Running, &seen), ServiceStatus::Running);
    EXPECT_GE(Clock::now() - begin, milliseconds(kStartDelayMs));
    EXPECT_EQ(seen,
              (std::vector<ServiceStatus>{ServiceStatus::StartPending, ServiceStatus::Running}));

    seen.clear();
    begin = Clock::now();
    control_.ServiceStop(kService);
    EXPECT_EQ(WaitForStatus(ServiceStatus::Stopped, &seen), ServiceStatus::Stopped);
    EXPECT_GE(Clock::now() - begin, milliseconds(kStopDelayMs));
    EXPECT_EQ(seen,
              (std::vector<ServiceStatus>{ServiceStatus::StopPending, ServiceStatus::Stopped}));
}

TEST_F(StandinService, HangingStartStaysStartPendingAndStillStops) {
    SetParameter("HangInStartPending", 1);
    control_.ServiceStart(kService);

    // Advancing check points show the service alive and pending, not merely slow to launch.
    const auto deadline = Clock::now() + kDeadline;
    DWORD checkPoint = 0;
    while (RawState(service_.get(), &checkPoint) == SERVICE_START_PENDING && checkPoint < 3 &&
           Clock::now() < deadline) {
        ::Sleep(kPollMs);
    }
    EXPECT_GE(checkPoint, 3u);
    EXPECT_EQ(control_.ServiceGetStatus(kService), ServiceStatus::StartPending);

    control_.ServiceStop(kService);
    EXPECT_EQ(WaitForStatus(ServiceStatus::Stopped), ServiceStatus::Stopped);
}

TEST_F(StandinService, StartOnARunningServiceChangesNothing) {
    control_.ServiceStart(kService);
    ASSERT_EQ(WaitForStatus(ServiceStatus::Running), ServiceStatus::Running);
    const DWORD process = ProcessId(service_.get());
    ASSERT_NE(process, 0u);

    control_.ServiceStart(kService);
    EXPECT_EQ(control_.ServiceGetStatus(kService), ServiceStatus::Running);
    EXPECT_EQ(ProcessId(service_.get()), process);
}

TEST_F(StandinService, ReadsEachStartTypeTheManagerHolds) {
    const std::pair<DWORD, StartType> cases[] = {{SERVICE_AUTO_START, StartType::Automatic},
                                                 {SERVICE_DISABLED, StartType::Disabled},
                                                 {SERVICE_DEMAND_START, StartType::OnDemand}};
    for (const auto& [code, startType] : cases) {
        ASSERT_TRUE(::ChangeServiceConfigA(service_.get(), SERVICE_NO_CHANGE, code,
                                           SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr));
        EXPECT_EQ(control_.ServiceGetStartType(kService), startType);
    }
}

TEST_F(StandinService, SettingTheStartTypeChangesNothingElse) {
    // Every field the change must keep gets a value other than its default.
    ASSERT_TRUE(::ChangeServiceConfigA(service_.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                       SERVICE_ERROR_IGNORE, nullptr, "TunlatchTestGroup", nullptr,
                                       "RpcSs\0PlugPlay\0", nullptr, nullptr,
                                       "Stand-in of the VPN client"));
    std::optional<ServiceConfig> before = ReadConfig(service_.get(), kService);
    ASSERT_TRUE(before);
    ASSERT_EQ(before->startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    ASSERT_EQ(before->dependencies, (std::vector<std::string>{"RpcSs", "PlugPlay"}));
    // Wine's manager drops the dependencies on every configuration change that passes none,
    // where Windows keeps them; there only the other fields can be held to.
    const auto comparable = [](std::optional<ServiceConfig> config) {
        if (config && RunsOnWine()) config->dependencies.clear();
        return config;
    };
    before = comparable(before);
    EXPECT_EQ(control_.ServiceGetStartType(kService), StartType::OnDemand);

    control_.ServiceSetStartType(kService, StartType::Automatic);
    EXPECT_EQ(control_.ServiceGetStartType(kService), StartType::Automatic);
    std::optional<ServiceConfig> after = comparable(ReadConfig(service_.get(), kService));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->startType, static_cast<DWORD>(SERVICE_AUTO_START));
    after->startType = before->startType;
    EXPECT_EQ(after, before);

    control_.ServiceSetStartType(kService, StartType::OnDemand);
    EXPECT_EQ(control_.ServiceGetStartType(kService), StartType::OnDemand);
    EXPECT_EQ(comparable(ReadConfig(service_.get(), kService)), before);
}

TEST(ServiceControl, MissingServiceFailsToOpenAndHasNoStartType) {
    Win32ServiceControl control;
    const std::string missing = "TunlatchNoSuchService";
    EXPECT_EQ(control.ServiceGetStatus(missing), ServiceStatus::ServiceNotOpened);
    EXPECT_EQ(control.ServiceGetStartType(missing), std::nullopt);
    // The requests fail silently and create nothing.
    control.ServiceStart(missing);
    control.ServiceStop(missing);
    control.ServiceSetStartType(missing, StartType::Automatic);
    EXPECT_EQ(control.ServiceGetStatus(missing), ServiceStatus::ServiceNotOpened);
}

}  // namespace
}  // namespace tunlatch::win32
