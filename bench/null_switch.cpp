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
// same waits. Every step goes through the program's own Win32 modules, so the floor differs from
// tunlatch.exe only by what a switch could leave out. Built as null_switch_window.exe
// (NULL_SWITCH_WINDOW defined) it keeps a hidden top-level tool window for the whole switch, as
// tunlatch.exe's tray icon needs one: the difference between the two shows what that window
// costs.
// It lies beside devcon.exe (C:\Tunlatch\) and runs the DevCon found there. At the end it
// writes null_switch.times beside itself: "main=MS done=MS", the Unix times in milliseconds at
// which its WinMain began and its work ended.
// Exit code: 0 done; 2 bad arguments; 3 a service call failed; 5 DevCon could not be run;
// 100 + N: the service needed N waits more than POLLS to reach its target (polled on, at most
// 30 s, so that the world stays whole).
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <variant>

#include "components/outside_components.h"
#include "run/devcon_check.h"
#include "system/win32/files.h"
#include "system/win32/processes.h"
#include "system/win32/program_host.h"
#include "system/win32/registry.h"
#include "system/win32/service_control.h"
#include "system/win32/unique_handle.h"

namespace {

namespace outside = tunlatch::outside;
using tunlatch::ServiceStatus;
using tunlatch::StartType;

constexpr std::int32_t kPauseMs = 1000;
constexpr std::int32_t kPollMs = 100;
constexpr unsigned long kOverrunPolls = 300;

unsigned long long UnixMs() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10000 - 11644473600000ULL;  // 100 ns units since 1601 to ms since 1970
}

struct Modules {
    tunlatch::win32::Win32Processes processes;
    tunlatch::win32::Win32ServiceControl services;
    tunlatch::win32::Win32Registry registry;
};

// DevCon run hidden with its output read to the end, the way a switch has to run it.
bool AdapterSteps(Modules& system, const std::string& folder, bool enable) {
    const std::string devcon = "\"" + folder + "\\" + outside::kDevconExe + "\" ";
    for (const char* verb : {"status", enable ? "enable" : "disable", "status"}) {
        const auto captured = system.processes.RunCaptured(
            devcon + verb + " " + outside::kAdapterMatch, std::chrono::milliseconds::max());
        if (!std::holds_alternative<std::string>(captured)) return false;
    }
    return true;
}

// The start type and the request, then the state read after it and after each of POLLS waits;
// then further waits while the target is not reached, whose number is in the exit code.
int ServiceSteps(Modules& system, bool start, unsigned long polls) {
    const std::string name = outside::kServiceName;
    const bool asked =
        system.services
            .ServiceSetStartType(name, start ? StartType::Automatic : StartType::OnDemand)
            .ok() &&
        (start ? system.services.ServiceStart(name) : system.services.ServiceStop(name)).ok();
    if (!asked) return 3;
    const ServiceStatus target = start ? ServiceStatus::Running : ServiceStatus::Stopped;
    const auto reached = [&] {
        const auto status = system.services.ServiceGetStatus(name);
        return status && *status == target;
    };
    bool there = reached();
    for (unsigned long i = 0; i < polls; ++i) {
        system.processes.WaitMs(kPollMs);
        there = reached();
    }
    unsigned long extra = 0;
    for (; !there && extra < kOverrunPolls; ++extra) {
        system.processes.WaitMs(kPollMs);
        there = reached();
    }
    return extra > 0 ? static_cast<int>(100 + (extra < 155 ? extra : 155)) : 0;
}

std::string UiCommand(Modules& system) {
    const auto read =
        system.registry.RegValueGet(outside::kInstallDirKey, outside::kInstallDirValue);
    const auto* dir = std::get_if<std::string>(&read.value);
    std::string path = dir != nullptr ? *dir : std::string();
    if (!path.empty() && path.back() != '\\') path += '\\';
    return "\"" + path + outside::kUiExeName + "\"" + outside::kUiExeArgument;
}

#ifdef NULL_SWITCH_WINDOW
tunlatch::win32::UniqueWindow MakeHiddenWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NullSwitchForm";
    ::RegisterClassExA(&windowClass);
    return tunlatch::win32::UniqueWindow(
        ::CreateWindowExA(WS_EX_TOOLWINDOW, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                          nullptr, nullptr, windowClass.hInstance, nullptr));
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const unsigned long long mainMs = UnixMs();
    if (__argc < 3) return 2;
    const bool start = std::strcmp(__argv[1], "start") == 0;
    if (!start && std::strcmp(__argv[1], "stop") != 0) return 2;
    const unsigned long polls = std::strtoul(__argv[2], nullptr, 10);
    const bool ui = __argc > 3 && std::strcmp(__argv[3], "ui") == 0;
#ifdef NULL_SWITCH_WINDOW
    tunlatch::win32::UniqueWindow window = MakeHiddenWindow();
#endif
    const auto folder = tunlatch::win32::Win32ProgramHost().ProgramFolder();
    if (!folder) return 2;
    Modules system;
    int rc = 0;
    if (start) {
        if (!AdapterSteps(system, *folder, true)) rc = 5;
        system.processes.WaitMs(kPauseMs);
        const int serviceRc = ServiceSteps(system, true, polls);
        if (rc == 0) rc = serviceRc;
        const std::string command = UiCommand(system);
        system.registry.RegValueSet(outside::kAutorunKey, outside::kAutorunValue, command);
        // Not waited for, and its launch is checked from outside by the UI stand-in's log.
        if (ui) static_cast<void>(system.processes.LaunchDetached(command));
    } else {
        system.registry.RegValueDelete(outside::kAutorunKey, outside::kAutorunValue);
        rc = ServiceSteps(system, false, polls);
        system.processes.WaitMs(kPauseMs);
        if (!AdapterSteps(system, *folder, false) && rc == 0) rc = 5;
    }
#ifdef NULL_SWITCH_WINDOW
    window.reset();
#endif
    const unsigned long long doneMs = UnixMs();
    // bench/run-switch removes the file before each run.
    if (const auto times =
            tunlatch::win32::Win32FileSystem().OpenForAppend(*folder + "\\null_switch.times"))
        times->AppendLine("main=" + std::to_string(mainMs) + " done=" + std::to_string(doneMs));
    return rc;
}
