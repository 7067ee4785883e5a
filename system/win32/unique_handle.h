#pragma once
// Owners for Windows handles: each closes its handle exactly once, on every path.
#include <windows.h>

#include <utility>

namespace tunlatch::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() noexcept { reset(); }

    Type get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
    // For APIs that hand a new handle back through a pointer.
    Type* put() noexcept {
        reset();
        return &handle_;
    }
    // Dropping the result would leak the handle.
    [[nodiscard]] Type release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    // Owners are often closed on the way out of a failed call, before its caller reads the
    // thread's last error: closing must not overwrite it.
    void reset(Type handle = Traits::Invalid()) noexcept {
        const Type old = std::exchange(handle_, handle);
        if (!Traits::IsValid(old)) return;
        const DWORD error = ::GetLastError();
        Traits::Close(old);
        ::SetLastError(error);
    }

private:
    Type handle_ = Traits::Invalid();
};

// Kernel objects whose "no handle" value is null (processes, threads, pipes, timers, mutexes).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};

// Files, whose "no handle" value from CreateFile is INVALID_HANDLE_VALUE.
struct FileHandleTraits : KernelHandleTraits {
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
};

// Searches of FindFirstFile, whose "no handle" value is INVALID_HANDLE_VALUE too.
struct FindHandleTraits : FileHandleTraits {
    static void Close(Type h) noexcept { ::FindClose(h); }
};

// Handles whose "no handle" value is null and that one call closes.
template <typename T, auto CloseFunction>
struct NullIsInvalidTraits {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { CloseFunction(h); }
};

template <typename T, auto CloseFunction>
using UniqueNullHandle = UniqueHandle<NullIsInvalidTraits<T, CloseFunction>>;

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueServiceHandle = UniqueNullHandle<SC_HANDLE, &::CloseServiceHandle>;
using UniqueRegKey = UniqueNullHandle<HKEY, &::RegCloseKey>;
using UniqueModule = UniqueNullHandle<HMODULE, &::FreeLibrary>;
using UniqueIcon = UniqueNullHandle<HICON, &::DestroyIcon>;
using UniqueWindow = UniqueNullHandle<HWND, &::DestroyWindow>;
using UniqueLocalMemory = UniqueNullHandle<HLOCAL, &::LocalFree>;

}  // namespace tunlatch::win32
