// The program's entry: harden the DLL search, build the Win32 modules around the run's COM
// apartment and hand them to Main.
#include <windows.h>

#include "switch/main.h"
#include "switch/startup_rules.h"
#include "system/win32/access_lists.h"
#include "system/win32/clock.h"
#include "system/win32/com_apartment.h"
#include "system/win32/devices.h"
#include "system/win32/dialogs.h"
#include "system/win32/download.h"
#include "system/win32/files.h"
#include "system/win32/os_facts.h"
#include "system/win32/processes.h"
#include "system/win32/program_host.h"
#include "system/win32/registry.h"
#include "system/win32/service_control.h"
#include "system/win32/settings_file.h"
#include "system/win32/system_library.h"
#include "system/win32/unzip_dll.h"
#include "system/win32/win32_tray.h"

namespace {

// The program runs elevated and is often started from a downloads folder full of other files:
// a DLL there with the name of one that Windows does not protect would be loaded with
// administrator rights. From here on DLLs come from the system folder only (unzip32.dll is
// loaded by its full path).
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is always loaded, so it is only looked up, never loaded.
    const auto setDirectories = tunlatch::win32::FindExport<SetDefaultDllDirectoriesFn>(
        ::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDirectories != nullptr && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Windows 7 without the update that brings the call: at least take the current folder out.
    ::SetDllDirectoryA("");
}

int RunProgram(HINSTANCE instance, const char* arguments) {
    using namespace tunlatch;
    using namespace tunlatch::win32;

    // Entered only at the first shell hand-off or download (most runs have none), then kept
    // for the rest of the run; declared first, so that it is left after the last module is gone.
    ComApartment com;
    Win32ProgramHost host;
    Win32ServiceControl services;
    Win32Processes processes(&com);
    Win32Registry registry;
    Win32OsFacts os;
    Win32FileSystem files;
    Win32SettingsFile settings;
    Win32Clock clock;
    Win32Dialogs dialogs(instance);
    Win32Download download(&com);
    // Without a folder the library has no place: an empty path loads nothing, where a lone
    // backslash before its name would take it from the current drive's root.
    const auto folder = host.ProgramFolder();
    Win32Unzip zip(folder ? WithTrailingBackslash(*folder) + kZipLibraryName : std::string(),
                   dialogs, kProgramName);
    // The tray's hidden window exists only while Main shows the icon.
    Win32Tray tray(instance);
    Win32AccessLists access;
    Win32Devices devices;

    SystemModules sys{services, processes, registry, os,  files, settings, clock,
                      tray,     dialogs,   download, zip, host,  access,   devices};
    return Main(sys, arguments != nullptr ? arguments : "");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    RestrictDllSearch();
    // Nothing here throws by design; should memory run out all the same, end quietly rather
    // than with the runtime's abort box (the tray's destructor still removes the icon).
    try {
        return RunProgram(instance, arguments);
    } catch (...) {
        // Where it stopped is unknown: it may have switched a part.
        return static_cast<int>(tunlatch::ExitCode::WithErrors);
    }
}
