#pragma once
// The stand-ins keep their state and logs beside their own program file.
#include <windows.h>

#include <cstring>

namespace tunlatch::testbed {

// out = the folder of this program + name; false when the path does not fit.
inline bool BesideMe(const char* name, char (&out)[MAX_PATH]) {
    char self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    char* slash = std::strrchr(self, '\\');
    if (!slash) return false;
    slash[1] = '\0';
    if (std::strlen(self) + std::strlen(name) >= MAX_PATH) return false;
    std::strcpy(out, self);
    std::strcat(out, name);
    return true;
}

}  // namespace tunlatch::testbed
