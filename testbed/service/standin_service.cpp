// A stand-in for the VPN client's service: a Windows service that does nothing but take its time.
//
// At every start it reads, from HKLM\System\CurrentControlSet\Services\<its name>\Parameters,
//   StartDelayMs        (DWORD) how long it stays in Start Pending before it reports Running,
//   StopDelayMs         (DWORD) how long it stays in Stop Pending before it reports Stopped,
//   HangInStartPending  (DWORD) non-zero: it never reports Running (a stop still ends it).
// Missing values count as 0. While a pending state lasts it advances its check point every
// tick, so a watcher can tell a live pending service from a stuck one.
#include <windows.h>

#include <cstdio>
#include <string>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {
namespace {

constexpr DWORD kTickMs = 100;

struct Parameters {
    DWORD startDelayMs = 0;
    DWORD stopDelayMs = 0;
    bool hangInStartPending = false;
};

DWORD ReadDword(HKEY key, const char* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return 0;
    }
    return value;
}

Parameters ReadParameters(const std::string& serviceName) {
    Parameters parameters;
    const std::string path = "System\\CurrentControlSet\\Services\\" + serviceName + "\\Parameters";
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return parameters;
    }
    parameters.startDelayMs = ReadDword(key.get(), "StartDelayMs");
    parameters.stopDelayMs = ReadDword(key.get(), "StopDelayMs");
    parameters.hangInStartPending = ReadDword(key.get(), "HangInStartPending") != 0;
    return parameters;
}

// What the service main thread and the control handler share; lives on the main's stack for
// the whole time the service can receive controls.
struct Service {
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    UniqueKernelHandle stopRequested;
    SERVICE_STATUS status{};

    void Report(DWORD state, DWORD checkPoint, DWORD waitHintMs) {
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        // A stop is welcome until the service is on its way down, even while it starts.
        status.dwControlsAccepted =
            (state == SERVICE_START_PENDING || state == SERVICE_RUNNING) ? SERVICE_ACCEPT_STOP : 0;
        status.dwWin32ExitCode = NO_ERROR;
        status.dwCheckPoint = checkPoint;
        status.dwWaitHint = waitHintMs;
        ::SetServiceStatus(statusHandle, &status);
    }

    // Stays in a pending state for durationMs (INFINITE: until a stop request), advancing the
    // check point every tick. Returns false when a stop request cut the wait short.
    bool Pend(DWORD state, DWORD durationMs, bool stopEndsIt) {
        const ULONGLONG start = ::GetTickCount64();
        for (DWORD checkPoint = 1;; ++checkPoint) {
            const ULONGLONG elapsed = ::GetTickCount64() - start;
            if (durationMs != INFINITE && elapsed >= durationMs) return true;
            const DWORD left =
                durationMs == INFINITE ? kTickMs : static_cast<DWORD>(durationMs - elapsed);
            Report(state, checkPoint, left + kTickMs);
            const DWORD wait = left < kTickMs ? left : kTickMs;
            if (stopEndsIt && ::WaitForSingleObject(stopRequested.get(), wait) == WAIT_OBJECT_0) {
                return false;
            }
            if (!stopEndsIt) ::Sleep(wait);
        }
    }
};

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void* context) {
    auto* service = static_cast<Service*>(context);
    switch (control) {
        case SERVICE_CONTROL_STOP:
            ::SetEvent(service->stopRequested.get());
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, char** argv) {
    // The manager passes the name the service was registered under; its key holds the settings.
    const std::string name = argc > 0 && argv[0] ? argv[0] : "";
    Service service;
    service.stopRequested = UniqueKernelHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    service.statusHandle = ::RegisterServiceCtrlHandlerExA(name.c_str(), OnControl, &service);
    if (!service.statusHandle || !service.stopRequested) return;

    const Parameters parameters = ReadParameters(name);
    const DWORD startMs = parameters.hangInStartPending ? INFINITE : parameters.startDelayMs;
    if (service.Pend(SERVICE_START_PENDING, startMs, true)) {
        service.Report(SERVICE_RUNNING, 0, 0);
        ::WaitForSingleObject(service.stopRequested.get(), INFINITE);
    }
    service.Pend(SERVICE_STOP_PENDING, parameters.stopDelayMs, false);
    service.Report(SERVICE_STOPPED, 0, 0);
}

}  // namespace
}  // namespace tunlatch::win32

int main() {
    // Own-process services ignore the table's name, but it must not be null.
    char anyName[] = "";
    const SERVICE_TABLE_ENTRYA table[] = {{anyName, tunlatch::win32::ServiceMain},
                                          {nullptr, nullptr}};
    if (!::StartServiceCtrlDispatcherA(table)) {
        std::fprintf(stderr,
                     "hamachi_standin_service: runs only as a service (error %lu); register it "
                     "with testbed/service/register-standin\n",
                     ::GetLastError());
        return 1;
    }
    return 0;
}
