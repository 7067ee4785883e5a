#pragma once
// Reading a zip archive that may follow a program stub (the self-extracting layout): the
// central directory's members and their stored data.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct Member {
    std::string name;  // as stored, with "/" between folders
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::string data;  // the stored bytes, still compressed and encrypted

    bool Encrypted() const { return (flags & 1) != 0; }
    bool Folder() const { return !name.empty() && name.back() == '/'; }
};

// The members in central-directory order; nullopt when no intact directory is found.
std::optional<std::vector<Member>> ReadArchive(const std::string& bytes);

// The member's content: decrypted with password (when it is encrypted) and inflated; nullopt
// when the password is wrong, the method unknown or the checksum does not match.
std::optional<std::string> Expand(const Member& member, const std::string& password);

}  // namespace standin
