#pragma once
// The adapter's world that the DevCon stand-in and the SetupAPI stand-in share, beside the
// program that runs them: devcon_state.ini (section [devcon]) holds the adapter's state and what
// a test asks of the stand-ins, devcon_calls.log gets one line per run or change, so that a test
// reads the same state and calls whichever way the adapter was switched. The C runtime only:
// the DevCon stand-in must fit the real tool's size.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace tunlatch::testbed {

// The path of a file beside the running program.
inline void Beside(const char* name, char (&path)[MAX_PATH]) {
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, name);
}

// Whether the key holds the value, in any letter case; a missing key holds "".
inline bool DevconSetting(const char* key, const char* value) {
    char state[MAX_PATH];
    char text[64];
    Beside("devcon_state.ini", state);
    ::GetPrivateProfileStringA("devcon", key, "", text, sizeof text, state);
    return _stricmp(text, value) == 0;
}

inline UINT DevconNumber(const char* key) {
    char state[MAX_PATH];
    Beside("devcon_state.ini", state);
    return ::GetPrivateProfileIntA("devcon", key, 0, state);
}

// A missing state counts as enabled.
inline bool AdapterEnabled() {
    return !DevconSetting("state", "disabled");
}

inline void SetAdapterEnabled(bool enabled) {
    char state[MAX_PATH];
    Beside("devcon_state.ini", state);
    ::WritePrivateProfileStringA("devcon", "state", enabled ? "enabled" : "disabled", state);
}

// devcon_calls.log opened to append one line, which the caller ends with CR LF.
class CallLog {
public:
    CallLog() {
        char path[MAX_PATH];
        Beside("devcon_calls.log", path);
        file_ = std::fopen(path, "ab");
    }
    ~CallLog() {
        if (file_ != nullptr) std::fclose(file_);
    }
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;
    // Null when the log cannot be opened.
    std::FILE* get() const { return file_; }

private:
    std::FILE* file_;
};

}  // namespace tunlatch::testbed
