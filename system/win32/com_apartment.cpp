#include "system/win32/com_apartment.h"

#include <objbase.h>

#include "system/win32/system_library.h"

namespace tunlatch::win32 {

namespace {
using CoInitializeExFn = HRESULT(WINAPI*)(void* reserved, DWORD flags);
using CoUninitializeFn = void(WINAPI*)();
}  // namespace

bool ComApartment::Enter() {
    // A failed attempt is not repeated: it would fail again, and each try would load ole32
    // anew.
    if (asked_) return entered_;
    asked_ = true;
    ole32_ = LoadSystemLibrary("ole32.dll");
    const auto initialize = FindExport<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
    // S_FALSE (COM was on already in this mode) needs its CoUninitialize as S_OK does; a
    // failure such as RPC_E_CHANGED_MODE must not have one.
    entered_ = initialize != nullptr &&
               SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    return entered_;
}

ComApartment::~ComApartment() {
    const auto uninitialize = FindExport<CoUninitializeFn>(ole32_.get(), "CoUninitialize");
    if (entered_ && uninitialize != nullptr) uninitialize();
}

}  // namespace tunlatch::win32
