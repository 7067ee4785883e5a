#pragma once
// DLLs from the system folder and typed access to their exports.
#include <windows.h>

#include <type_traits>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// Loads the DLL of this file name (for example "netapi32.dll") from the system folder only,
// never through a search path: the program runs elevated, often from a downloads folder, and a
// DLL planted there would run with its rights. Null when it cannot be loaded, the thread's last
// error then telling why.
UniqueModule LoadSystemLibrary(const char* fileName);

// The module's export of that name as the function-pointer type Fn; null when the module is
// null or lacks it (for a module that lacks it, the thread's last error is GetProcAddress's).
template <typename Fn>
Fn FindExport(HMODULE module, const char* name) {
    static_assert(std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>>);
    if (module == nullptr) return nullptr;
    // FARPROC stands for every export. Casting between function pointer types is defined both
    // ways; a detour through an object pointer such as void* is not.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace tunlatch::win32
