// The service manager as a test world needs it, from the shell:
//   world_service state NAME                 prints the state ("Running", "Stopped", ...)
//   world_service starttype NAME             prints the start type code
//   world_service set-starttype NAME CODE    changes the start type
//   world_service start NAME | stop NAME     sends the request, does not wait
//   world_service wait NAME STATE MS         polls every 50 ms until STATE, at most MS
// Wine's sc has neither config nor qc, and its query output is made for people. Exit code 0 on
// success; 1 when the service manager refuses or the wait runs out; 2 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* StateName(DWORD state) {
    switch (state) {
        case SERVICE_STOPPED:
            return "Stopped";
        case SERVICE_START_PENDING:
            return "Start Pending";
        case SERVICE_STOP_PENDING:
            return "Stop Pending";
        case SERVICE_RUNNING:
            return "Running";
        case SERVICE_CONTINUE_PENDING:
            return "Continue Pending";
        case SERVICE_PAUSE_PENDING:
            return "Pause Pending";
        case SERVICE_PAUSED:
            return "Paused";
        default:
            return "Unknown";
    }
}

// One opened service, closed with its manager when the command is done.
class Service {
public:
    Service(const char* name, DWORD access) {
        manager_ = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (manager_) service_ = ::OpenServiceA(manager_, name, access);
    }
    ~Service() {
        if (service_) ::CloseServiceHandle(service_);
        if (manager_) ::CloseServiceHandle(manager_);
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    SC_HANDLE get() const { return service_; }

    const char* State() const {
        SERVICE_STATUS status{};
        if (!::QueryServiceStatus(service_, &status)) return nullptr;
        return StateName(status.dwCurrentState);
    }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

int Fail(const char* what) {
    std::fprintf(stderr, "world_service: %s failed, error %lu\n", what, ::GetLastError());
    return 1;
}

int PrintState(const char* name) {
    Service service(name, SERVICE_QUERY_STATUS);
    if (!service.get()) return Fail("OpenService");
    const char* state = service.State();
    if (!state) return Fail("QueryServiceStatus");
    std::printf("%s\n", state);
    return 0;
}

int PrintStartType(const char* name) {
    Service service(name, SERVICE_QUERY_CONFIG);
    if (!service.get()) return Fail("OpenService");
    DWORD needed = 0;
    ::QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    auto* config = static_cast<QUERY_SERVICE_CONFIGA*>(std::malloc(needed));
    if (!config) return 1;
    const bool ok = ::QueryServiceConfigA(service.get(), config, needed, &needed);
    if (ok) std::printf("%lu\n", config->dwStartType);
    std::free(config);
    return ok ? 0 : Fail("QueryServiceConfig");
}

int SetStartType(const char* name, DWORD code) {
    Service service(name, SERVICE_CHANGE_CONFIG);
    if (!service.get()) return Fail("OpenService");
    if (!::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, code, SERVICE_NO_CHANGE, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
        return Fail("ChangeServiceConfig");
    }
    return 0;
}

int Start(const char* name) {
    Service service(name, SERVICE_START);
    if (!service.get()) return Fail("OpenService");
    return ::StartServiceA(service.get(), 0, nullptr) ? 0 : Fail("StartService");
}

int Stop(const char* name) {
    Service service(name, SERVICE_STOP);
    if (!service.get()) return Fail("OpenService");
    SERVICE_STATUS status{};
    return ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status) ? 0
                                                                          : Fail("ControlService");
}

int Wait(const char* name, const char* wanted, DWORD limitMs) {
    Service service(name, SERVICE_QUERY_STATUS);
    if (!service.get()) return Fail("OpenService");
    const ULONGLONG deadline = ::GetTickCount64() + limitMs;
    for (;;) {
        const char* state = service.State();
        if (state && std::strcmp(state, wanted) == 0) return 0;
        if (::GetTickCount64() >= deadline) {
            std::fprintf(stderr, "world_service: %s is %s, not %s, after %lu ms\n", name,
                         state ? state : "unreadable", wanted, limitMs);
            return 1;
        }
        ::Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const char* command = argv[1];
    const char* name = argv[2];
    if (std::strcmp(command, "state") == 0) return PrintState(name);
    if (std::strcmp(command, "starttype") == 0) return PrintStartType(name);
    if (std::strcmp(command, "start") == 0) return Start(name);
    if (std::strcmp(command, "stop") == 0) return Stop(name);
    if (std::strcmp(command, "set-starttype") == 0 && argc == 4) {
        return SetStartType(name, std::strtoul(argv[3], nullptr, 10));
    }
    if (std::strcmp(command, "wait") == 0 && argc == 5) {
        return Wait(name, argv[3], std::strtoul(argv[4], nullptr, 10));
    }
    return 2;
}
