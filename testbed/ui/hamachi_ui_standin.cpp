// A stand-in for the VPN client's user-interface program, hamachi-2-ui.exe.
//
// Each launch appends its whole command line as one line to ui_launches.log beside itself, then
// stays up for a while like the real program (3000 ms, or stay_ms from section [ui] of
// ui_standin.ini beside itself), so that a launcher's "is it still running" question has a
// running process to find. A GUI program without windows: nothing to show, no console.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "testbed/common/beside_me.h"

namespace {

using tunlatch::testbed::BesideMe;

void AppendLine(const char* path, const char* text) {
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    ::WriteFile(file, "\r\n", 2, &written, nullptr);
    ::CloseHandle(file);
}

DWORD StayMs() {
    char settings[MAX_PATH];
    if (!BesideMe("ui_standin.ini", settings)) return 3000;
    char text[32];
    ::GetPrivateProfileStringA("ui", "stay_ms", "3000", text, sizeof text, settings);
    return std::strtoul(text, nullptr, 10);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char launches[MAX_PATH];
    if (!BesideMe("ui_launches.log", launches)) return 2;
    AppendLine(launches, ::GetCommandLineA());
    ::Sleep(StayMs());
    return 0;
}
