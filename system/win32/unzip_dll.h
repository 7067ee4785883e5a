#pragma once
#include <cstdint>
#include <string>

#include "system/dialogs.h"
#include "system/zip.h"

namespace tunlatch::win32 {

// Zip extraction through Info-ZIP's unzip32.dll, loaded from the one path it is given (never
// through the DLL search order) for each extraction. The library's version picks the records it
// is handed: UnZip 5.x and 6.x work, any other version is refused without an extraction. A
// password prompt left empty is not shown again while this object lives, that is, for the rest
// of the run.
class Win32Unzip final : public Zip {
public:
    Win32Unzip(std::string dllPath, Dialogs& dialogs, std::string title = {});
    Result<Done, ZipFailure> UnzipArchive(const std::string& archivePath,
                                          const std::string& targetFolder) override;

private:
    friend struct UnzipCallbacks;
    int AskPassword(char* buffer, int size);
    int AskReplace(const char* fileName);

    std::string dllPath_;
    Dialogs& dialogs_;
    std::string title_;
    std::int16_t passwordSkip_ = 0;
};

// Whether the library's return code for an extraction means that it failed. Those that do not
// may still leave members out, which callers find in the files.
bool IsUnzipFailure(int returnCode);

}  // namespace tunlatch::win32
