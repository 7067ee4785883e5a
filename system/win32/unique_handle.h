#pragma once
// Owners for Windows handles: each closes its handle exactly once, on every path.
#include <windows.h>

#include <utility>

namespace tunlatch::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    // For APIs that hand a new handle back through a pointer.
    Type* put() {
        reset();
        return &handle_;
    }
    Type release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Type handle = Traits::Invalid()) {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Type handle_ = Traits::Invalid();
};

// Kernel objects whose "no handle" value is null (processes, threads, pipes, timers, mutexes).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

// Files, whose "no handle" value from CreateFile is INVALID_HANDLE_VALUE.
struct FileHandleTraits : KernelHandleTraits {
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
};

// Handles whose "no handle" value is null and that one call closes.
template <typename T, auto CloseFunction>
struct NullIsInvalidTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { CloseFunction(h); }
};

using ServiceHandleTraits = NullIsInvalidTraits<SC_HANDLE, &::CloseServiceHandle>;
using RegKeyTraits = NullIsInvalidTraits<HKEY, &::RegCloseKey>;
using ModuleTraits = NullIsInvalidTraits<HMODULE, &::FreeLibrary>;

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueServiceHandle = UniqueHandle<ServiceHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;

}  // namespace tunlatch::win32
