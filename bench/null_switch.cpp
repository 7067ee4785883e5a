// The floor of one switch on this machine: a GUI program that does only what a switch cannot do
// without, in tunlatch.exe's order, and nothing else (no settings, no run log, no OS facts, no
// tray). bench/run-switch runs it beside tunlatch.exe and the batch file.
//
//   null_switch.exe start|stop POLLS [ui]
//
// start: DevCon status, enable, status; the 1000 ms pause; start type automatic; the start
//        request; the state read after it and after each of POLLS waits of 100 ms; the autorun
//        value; with "ui" the UI program's launch, not waited for.
// stop:  the autorun value removed; start type on demand; the stop request; the state reads
//        and POLLS waits as above; the 1000 ms pause; DevCon status, disable, status.
// POLLS is the number of 100 ms waits tunlatch.exe made in the same switch, so both make the
// same waits. Built as null_switch_window.exe (NULL_SWITCH_WINDOW defined) it also links user32
// and keeps a hidden top-level tool window for the whole switch, as tunlatch.exe's tray icon
// needs one: the difference between the two shows what that window costs.
// It lies beside devcon.exe (C:\Tunlatch\) and runs the DevCon found there. At the end it
// writes null_switch.times beside itself: "main=MS done=MS", the Unix times in milliseconds at
// which its WinMain began and its work ended.
// Exit code: 0 done; 2 bad arguments; 3 a service call failed; 5 DevCon could not be run;
// 100 + N: the service needed N waits more than POLLS to reach its target (polled on, at most
// 30 s, so that the world stays whole).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "components/outside_components.h"
#include "run/devcon_check.h"

namespace {

namespace outside = tunlatch::outside;

constexpr DWORD kPauseMs = 1000;
constexpr DWORD kPollMs = 100;
constexpr unsigned long kOverrunPolls = 300;

unsigned long long UnixMs() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10000 - 11644473600000ULL;  // 100 ns units since 1601 to ms since 1970
}

std::string ProgramFolder() {
    char self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, n < MAX_PATH ? n : 0);
    return path.substr(0, path.rfind('\\') + 1);
}

// DevCon with its output read to the end, hidden, the way a switch has to run it.
bool RunDevcon(const std::string& folder, const char* verb, std::string& output) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inheritable, 0)) return false;
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = write;
    std::string text =
        "\"" + folder + outside::kDevconExe + "\" " + verb + " " + outside::kAdapterMatch;
    std::vector<char> command(text.begin(), text.end());
    command.push_back('\0');
    PROCESS_INFORMATION started{};
    const bool ran = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started);
    ::CloseHandle(write);
    if (ran) {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            output.append(buffer, got);
        }
        ::WaitForSingleObject(started.hProcess, INFINITE);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
    ::CloseHandle(read);
    return ran;
}

bool AdapterSteps(const std::string& folder, bool enable) {
    std::string status;
    std::string switched;
    std::string statusAfter;
    return RunDevcon(folder, "status", status) &&
           RunDevcon(folder, enable ? "enable" : "disable", switched) &&
           RunDevcon(folder, "status", statusAfter);
}

DWORD State(SC_HANDLE service) {
    SERVICE_STATUS status{};
    return ::QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

// The state read after the request and after each of POLLS waits; then further waits while the
// target is not reached. Returns the number of those further waits.
unsigned long Poll(SC_HANDLE service, DWORD target, unsigned long polls) {
    DWORD state = State(service);
    for (unsigned long i = 0; i < polls; ++i) {
        ::Sleep(kPollMs);
        state = State(service);
    }
    unsigned long extra = 0;
    while (state != target && extra < kOverrunPolls) {
        ::Sleep(kPollMs);
        state = State(service);
        ++extra;
    }
    return extra;
}

int ServiceSteps(bool start, unsigned long polls) {
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return 3;
    SC_HANDLE service =
        ::OpenServiceA(manager, outside::kServiceName,
                       SERVICE_QUERY_STATUS | SERVICE_CHANGE_CONFIG | SERVICE_START | SERVICE_STOP);
    int rc = 3;
    if (service) {
        SERVICE_STATUS status{};
        const bool asked = ::ChangeServiceConfigA(service, SERVICE_NO_CHANGE,
                                                  start ? SERVICE_AUTO_START : SERVICE_DEMAND_START,
                                                  SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr) &&
                           (start ? ::StartServiceA(service, 0, nullptr)
                                  : ::ControlService(service, SERVICE_CONTROL_STOP, &status));
        if (asked) {
            const unsigned long extra =
                Poll(service, start ? SERVICE_RUNNING : SERVICE_STOPPED, polls);
            rc = extra > 0 ? static_cast<int>(100 + (extra < 155 ? extra : 155)) : 0;
        }
        ::CloseServiceHandle(service);
    }
    ::CloseServiceHandle(manager);
    return rc;
}

HKEY OpenRunKey() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, outside::kAutorunKey, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

std::string UiCommand() {
    char dir[MAX_PATH] = "";
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, outside::kInstallDirKey, 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof dir - 1;
        ::RegQueryValueExA(key, outside::kInstallDirValue, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(dir), &size);
        ::RegCloseKey(key);
    }
    std::string path = dir;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return "\"" + path + outside::kUiExeName + "\"" + outside::kUiExeArgument;
}

void SetAutorun(bool add, const std::string& command) {
    HKEY key = OpenRunKey();
    if (!key) return;
    if (add) {
        ::RegSetValueExA(key, outside::kAutorunValue, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>(command.size() + 1));
    } else {
        ::RegDeleteValueA(key, outside::kAutorunValue);
    }
    ::RegCloseKey(key);
}

void LaunchUi(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    PROCESS_INFORMATION started{};
    if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
}

#ifdef NULL_SWITCH_WINDOW
LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeHiddenWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &HiddenWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NullSwitchForm";
    ::RegisterClassExA(&windowClass);
    return ::CreateWindowExA(WS_EX_TOOLWINDOW, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
}
#endif

void WriteTimes(const std::string& folder, unsigned long long mainMs, unsigned long long doneMs) {
    const std::string text =
        "main=" + std::to_string(mainMs) + " done=" + std::to_string(doneMs) + "\r\n";
    HANDLE file = ::CreateFileA((folder + "null_switch.times").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const unsigned long long mainMs = UnixMs();
    if (__argc < 3) return 2;
    const bool start = std::strcmp(__argv[1], "start") == 0;
    if (!start && std::strcmp(__argv[1], "stop") != 0) return 2;
    const unsigned long polls = std::strtoul(__argv[2], nullptr, 10);
    const bool ui = __argc > 3 && std::strcmp(__argv[3], "ui") == 0;
#ifdef NULL_SWITCH_WINDOW
    const HWND window = MakeHiddenWindow();
#endif
    const std::string folder = ProgramFolder();
    int rc = 0;
    if (start) {
        if (!AdapterSteps(folder, true)) rc = 5;
        ::Sleep(kPauseMs);
        const int serviceRc = ServiceSteps(true, polls);
        if (rc == 0) rc = serviceRc;
        const std::string command = UiCommand();
        SetAutorun(true, command);
        if (ui) LaunchUi(command);
    } else {
        SetAutorun(false, std::string());
        rc = ServiceSteps(false, polls);
        ::Sleep(kPauseMs);
        if (!AdapterSteps(folder, false) && rc == 0) rc = 5;
    }
#ifdef NULL_SWITCH_WINDOW
    if (window) ::DestroyWindow(window);
#endif
    WriteTimes(folder, mainMs, UnixMs());
    return rc;
}
