#pragma once
// The machine word of a Windows program file: which processor its code is built for.
#include <cstdint>
#include <optional>
#include <string>

#include "system/files.h"

namespace tunlatch {

inline constexpr std::uint16_t kMachineI386 = 0x014c;
inline constexpr std::uint16_t kMachineIa64 = 0x0200;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// The machine field of the file's PE header; nullopt when the file cannot be read or is no PE
// file (no "MZ" header, or no "PE" signature where the header points).
std::optional<std::uint16_t> ReadPeMachine(FileSystem& files, const std::string& path);

// The machine a program must be built for to run natively on the architecture text of the OS
// information record ("x86", "x64", "Itanium"); nullopt for any other text.
std::optional<std::uint16_t> MachineForArchitecture(const std::string& architecture);

}  // namespace tunlatch
