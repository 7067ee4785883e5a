#pragma once
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// COM on the thread that owns the object: a single-threaded apartment without OLE1 DDE, as
// ShellExecuteA and URLDownloadToFileA ask of their callers. It is entered only when a module
// first asks for it, since entering costs the run dearly: ole32 pulls in rpcrt4 and combase,
// and the apartment's hidden window makes the first window of the process (under Wine that
// starts the desktop process). A run that never opens the shell or downloads pays nothing.
// Once entered, the apartment stays for the object's life, so the owner (WinMain) keeps one
// apartment for the whole run and leaves it after the last module is gone. ole32.dll is loaded
// from the system folder, not imported; where COM cannot be had, the run goes on without it.
// Such an apartment asks its thread to serve window messages, as every wait of this program
// does.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

    // Enters the apartment the first time, on the owner's thread; later calls only give the
    // first call's answer, so that the thread is initialised once and left once. False when
    // COM could not be had.
    bool Enter();

private:
    UniqueModule ole32_;
    bool asked_ = false;
    bool entered_ = false;
};

}  // namespace tunlatch::win32
