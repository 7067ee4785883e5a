#pragma once
// Device Console, devcon.exe: which of its builds fits this machine, and whether that build
// lies in the program folder.
#include <cstdint>

#include "run/run_context.h"
#include "system/files.h"

namespace tunlatch {

namespace outside {
inline constexpr const char* kDevconExe = "devcon.exe";
// The vendor's archive holds a 32-bit and an Itanium build, told apart by their sizes.
inline constexpr std::uint64_t kDevconX86Size = 55808;
inline constexpr std::uint64_t kDevconIa64Size = 92672;
}  // namespace outside

enum class DevconCheck {
    Right,           // the build for this machine
    Missing,         // no devcon.exe in the program folder (or a folder of that name)
    WrongBuild,      // present, but not the build for "x86" or "x64"
    NoBuildForArch,  // present, and the architecture is neither "x86" nor "x64"
    Untrusted,       // present, and others than the administrators may change it
};

// "x86" wants the 55,808-byte build; "x64" wants a build whose PE header names AMD64, whatever
// its size.
DevconCheck CheckDevcon(const RunContext& ctx, FileSystem& files);

}  // namespace tunlatch
