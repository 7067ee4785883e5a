#pragma once
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// COM on the calling thread for as long as the object lives: a single-threaded apartment
// without OLE1 DDE, as ShellExecuteA and URLDownloadToFileA ask of their callers. ole32.dll is
// loaded here from the system folder, not imported; where COM cannot be had, the run goes on
// without it. Such an apartment asks its thread to serve window messages, as every wait of this
// program does.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();

private:
    UniqueModule ole32_;
    bool entered_ = false;
};

}  // namespace tunlatch::win32
