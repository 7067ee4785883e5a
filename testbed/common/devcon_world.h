#pragma once
// The adapter's world that the DevCon stand-in and the SetupAPI stand-in share beside the program
// that runs them, so that a test sees the same state and calls whichever way the adapter was
// switched: devcon_state.ini (section [devcon]) holds the adapter's state and what the test asks
// of the stand-ins, devcon_calls.log a line per run or change. The C runtime only: the DevCon
// stand-in must fit the real tool's size.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace tunlatch::testbed {

// The path of a file beside the running program.
inline void Beside(const char* name, char (&path)[MAX_PATH]) {
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, name);
}

// Whether the key holds the value, in any letter case; a missing key holds "" (and a missing
// state stands for enabled).
inline bool DevconSetting(const char* key, const char* value) {
    char state[MAX_PATH];
    char text[64];
    Beside("devcon_state.ini", state);
    ::GetPrivateProfileStringA("devcon", key, "", text, sizeof text, state);
    return _stricmp(text, value) == 0;
}

inline void SetAdapterEnabled(bool enabled) {
    char state[MAX_PATH];
    Beside("devcon_state.ini", state);
    ::WritePrivateProfileStringA("devcon", "state", enabled ? "enabled" : "disabled", state);
}

// Appends the line and CR LF to devcon_calls.log.
inline void LogCall(const char* line) {
    char path[MAX_PATH];
    Beside("devcon_calls.log", path);
    if (std::FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\r\n", line);
        std::fclose(file);
    }
}

}  // namespace tunlatch::testbed
