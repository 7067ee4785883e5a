#include "run/pe_machine.h"

namespace tunlatch {

namespace {

// The DOS header's field e_lfanew holds the file offset of the PE signature.
constexpr std::uint64_t kPeOffsetField = 0x3c;
constexpr std::uint32_t kDosHeaderSize = 0x40;
// "PE\0\0" followed by the COFF header, whose first field is the machine.
constexpr std::uint32_t kSignatureAndMachine = 6;

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

std::optional<std::uint16_t> ReadPeMachine(FileSystem& files, const std::string& path) {
    const auto dos = files.ReadFileRange(path, 0, kDosHeaderSize);
    if (!dos || dos->size() < kDosHeaderSize || dos->compare(0, 2, "MZ") != 0) return std::nullopt;
    const std::uint32_t peOffset = LittleEndian(*dos, kPeOffsetField, 4);
    const auto pe = files.ReadFileRange(path, peOffset, kSignatureAndMachine);
    if (!pe || pe->size() < kSignatureAndMachine ||
        pe->compare(0, 4, std::string("PE\0\0", 4)) != 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(LittleEndian(*pe, 4, 2));
}

std::optional<std::uint16_t> MachineForArchitecture(const std::string& architecture) {
    if (architecture == "x86") return kMachineI386;
    if (architecture == "x64") return kMachineAmd64;
    if (architecture == "Itanium") return kMachineIa64;
    return std::nullopt;
}

}  // namespace tunlatch
