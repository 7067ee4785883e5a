#pragma once
#include "system/program_host.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

class Win32ProgramHost final : public ProgramHost {
public:
    bool AnotherCopyRunning() override;
    Result<std::string, FolderTrouble> ProgramFolder() override;
    VersionNumbers ProgramVersion() override;
    std::optional<std::string> TempFolder() override;
    unsigned ProgramBits() override { return sizeof(void*) * 8; }

private:
    UniqueKernelHandle instanceMutex_;  // held for the whole run
};

}  // namespace tunlatch::win32
