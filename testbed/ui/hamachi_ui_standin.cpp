// A stand-in for the VPN client's user-interface program, hamachi-2-ui.exe.
//
// Each launch appends "Launch " and its whole command line to ui_launches.log beside itself, then
// stays up for a while like the real program (3000 ms, or stay_ms from section [ui] of
// ui_standin.ini beside itself), so that a launcher's "is it still running" question has a
// running process to find. A GUI program without windows: nothing to show, no console.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* name = std::strrchr(path, '\\') + 1;
    std::strcpy(name, "ui_launches.log");
    if (FILE* launches = std::fopen(path, "ab")) {
        std::fprintf(launches, "Launch %s\r\n", ::GetCommandLineA());
        std::fclose(launches);
    }
    std::strcpy(name, "ui_standin.ini");
    ::Sleep(::GetPrivateProfileIntA("ui", "stay_ms", 3000, path));
    return 0;
}
