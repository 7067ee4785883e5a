#pragma once
// Whether the right build of devcon.exe lies in the program folder.
#include <cstdint>

#include "switch/run_context.h"
#include "system/files.h"

namespace tunlatch {

inline constexpr std::int16_t kDevconRight = 1;
inline constexpr std::int16_t kDevconMissing = 0;
inline constexpr std::int16_t kDevconWrongBuild = -1;
inline constexpr std::int16_t kDevconNoBuildForArch = -2;

// 1 right build, 0 not found (or a folder), -1 wrong build for "x86" or "x64", -2 any other
// architecture text. "x86" wants the 55,808-byte build; "x64" wants a build whose PE header
// names AMD64, whatever its size.
std::int16_t CheckDevcon(const RunContext& ctx, FileSystem& files);

}  // namespace tunlatch
