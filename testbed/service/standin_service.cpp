// A stand-in for the VPN client's service: a Windows service that does nothing but take its time.
//
// At every start it reads, from HKLM\System\CurrentControlSet\Services\<its name>\Parameters,
//   StartDelayMs        (DWORD) how long it stays in Start Pending before it reports Running,
//   StopDelayMs         (DWORD) how long it stays in Stop Pending before it reports Stopped.
// Missing values count as 0.
#include <windows.h>

#include <cstdio>

namespace {

SERVICE_STATUS_HANDLE g_status;
HANDLE g_stopRequested;
char g_parameters[MAX_PATH];

DWORD Parameter(const char* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    return ::RegGetValueA(HKEY_LOCAL_MACHINE, g_parameters, name, RRF_RT_REG_DWORD, nullptr, &value,
                          &size) == ERROR_SUCCESS
               ? value
               : 0;
}

void Report(DWORD state) {
    // A stop is welcome until the service is on its way down, even while it starts.
    const DWORD controls =
        state == SERVICE_START_PENDING || state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, state, controls, NO_ERROR, 0, 0, 0};
    ::SetServiceStatus(g_status, &status);
}

// Stays in a pending state for durationMs. Returns false when a stop request cut the wait short.
bool Pend(DWORD state, DWORD durationMs, bool stopEndsIt) {
    if (durationMs == 0) return true;
    Report(state);
    if (!stopEndsIt) {
        ::Sleep(durationMs);
        return true;
    }
    return ::WaitForSingleObject(g_stopRequested, durationMs) != WAIT_OBJECT_0;
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP) ::SetEvent(g_stopRequested);
    return control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_INTERROGATE
               ? NO_ERROR
               : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char** argv) {
    // The manager passes the name the service was registered under; its key holds the settings.
    g_status = ::RegisterServiceCtrlHandlerExA(argv[0], OnControl, nullptr);
    std::snprintf(g_parameters, sizeof g_parameters,
                  "System\\CurrentControlSet\\Services\\%s\\Parameters", argv[0]);
    if (Pend(SERVICE_START_PENDING, Parameter("StartDelayMs"), true)) {
        Report(SERVICE_RUNNING);
        ::WaitForSingleObject(g_stopRequested, INFINITE);
    }
    Pend(SERVICE_STOP_PENDING, Parameter("StopDelayMs"), false);
    Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
    g_stopRequested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // Own-process services ignore the table's name, but it must not be null.
    char anyName[] = "";
    const SERVICE_TABLE_ENTRYA table[] = {{anyName, ServiceMain}, {nullptr, nullptr}};
    if (::StartServiceCtrlDispatcherA(table)) return 0;
    std::fprintf(stderr, "hamachi_standin_service: runs only as a service (error %lu)\n",
                 ::GetLastError());
    return 1;
}
