// A test world's service manager and registry as the shell needs them (make-world, the
// scenarios, scripts/demo, bench/run-switch); Wine's sc has neither config nor qc.
//   world_service create auto|demand stopped|running
//       registers Hamachi2Svc for the client's service program with that start type; running:
//       starts it and waits until it runs (at most 30 s)
//   world_service report
//       prints "service STATE START_TYPE", with " registry N" added when the start type in the
//       service's registry key differs, and "autorun VALUE" for the client's autorun value in the
//       32-bit view ("autorun absent" without it)
// Exit code 0 on success, 1 when Windows refuses or the wait runs out, 2 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kService[] = "Hamachi2Svc";
// The states by their codes, SERVICE_STOPPED (1) to SERVICE_PAUSED (7).
constexpr const char* kStates[] = {
    "Unreadable", "Stopped",          "Start Pending", "Stop Pending",
    "Running",    "Continue Pending", "Pause Pending", "Paused",
};

int Fail(const char* what) {
    std::fprintf(stderr, "world_service: %s failed, error %lu\n", what, ::GetLastError());
    return 1;
}

DWORD State(SC_HANDLE service) {
    SERVICE_STATUS status{};
    return ::QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

int Create(SC_HANDLE manager, bool automatic, bool running) {
    SC_HANDLE service = ::CreateServiceA(
        manager, kService, kService, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
        automatic ? SERVICE_AUTO_START : SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
        "\"C:\\Program Files (x86)\\LogMeIn Hamachi\\hamachi-2.exe\"", nullptr, nullptr, nullptr,
        nullptr, nullptr);
    if (!service) return Fail("CreateService");
    if (!running) return 0;
    if (!::StartServiceA(service, 0, nullptr)) return Fail("StartService");
    for (int polls = 0; polls < 600 && State(service) != SERVICE_RUNNING; ++polls) ::Sleep(50);
    return State(service) == SERVICE_RUNNING ? 0 : Fail("waiting until the service runs");
}

int Report(SC_HANDLE manager) {
    SC_HANDLE service =
        ::OpenServiceA(manager, kService, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
    if (!service) return Fail("OpenService");
    alignas(QUERY_SERVICE_CONFIGA) char buffer[8192];
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer);
    DWORD size = sizeof buffer;
    if (!::QueryServiceConfigA(service, config, size, &size)) return Fail("QueryServiceConfig");
    const DWORD state = State(service);
    std::printf("service %s %lu", kStates[state < 8 ? state : 0], config->dwStartType);

    DWORD start = 0;
    size = sizeof start;
    ::RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Hamachi2Svc", "Start",
                   RRF_RT_REG_DWORD, nullptr, &start, &size);
    if (start != config->dwStartType) std::printf(" registry %lu", start);

    char value[2048];
    size = sizeof value;
    if (::RegGetValueA(
            HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
            "LogMeIn Hamachi Ui", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        std::strcpy(value, "absent");
    }
    std::printf("\nautorun %s\n", value);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return Fail("OpenSCManager");
    if (argc == 4 && std::strcmp(argv[1], "create") == 0) {
        const bool automatic = std::strcmp(argv[2], "auto") == 0;
        const bool running = std::strcmp(argv[3], "running") == 0;
        if ((automatic || std::strcmp(argv[2], "demand") == 0) &&
            (running || std::strcmp(argv[3], "stopped") == 0)) {
            return Create(manager, automatic, running);
        }
    }
    if (argc == 2 && std::strcmp(argv[1], "report") == 0) return Report(manager);
    return 2;
}
