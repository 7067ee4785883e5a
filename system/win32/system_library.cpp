#include "system/win32/system_library.h"

#include <string>

namespace tunlatch::win32 {

UniqueModule LoadSystemLibrary(const char* fileName) {
    UniqueModule module(::LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Windows 7 without the search-flags update refuses the flag; the full path into the system
    // folder does the same job, and the altered search path takes the DLL's own dependencies
    // from there too.
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return module;
    const std::string path = std::string(folder, length) + "\\" + fileName;
    module.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return module;
}

}  // namespace tunlatch::win32
