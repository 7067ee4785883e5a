#include "testbed/unzip32/zip_reader.h"

#include <zlib.h>

namespace standin {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;

std::uint32_t Get(const std::string& b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Traditional PKWARE encryption.
class Keys {
public:
    explicit Keys(const std::string& password) {
        for (char c : password) Update(static_cast<unsigned char>(c));
    }
    unsigned char Decrypt(unsigned char c) {
        const std::uint32_t t = (k2_ | 2) & 0xffff;
        const auto plain = static_cast<unsigned char>(c ^ (((t * (t ^ 1)) >> 8) & 0xff));
        Update(plain);
        return plain;
    }

private:
    static std::uint32_t Crc(std::uint32_t crc, unsigned char b) {
        return static_cast<std::uint32_t>(get_crc_table()[(crc ^ b) & 0xff]) ^ (crc >> 8);
    }
    void Update(unsigned char c) {
        k0_ = Crc(k0_, c);
        k1_ = (k1_ + (k0_ & 0xff)) * 134775813u + 1;
        k2_ = Crc(k2_, static_cast<unsigned char>(k1_ >> 24));
    }
    std::uint32_t k0_ = 0x12345678, k1_ = 0x23456789, k2_ = 0x34567890;
};

std::optional<std::string> Inflate(const std::string& in, std::uint32_t size) {
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = size;
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || z.total_out != size) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::vector<Member>> ReadArchive(const std::string& b) {
    if (b.size() < kEndSize) return std::nullopt;
    std::size_t end = b.size() - kEndSize;
    const std::size_t lowest = b.size() > 0xffff + kEndSize ? b.size() - 0xffff - kEndSize : 0;
    while (Get(b, end, 4) != kEndSignature) {
        if (end == lowest) return std::nullopt;
        --end;
    }
    const std::uint32_t count = Get(b, end + 10, 2);
    const std::uint32_t dirSize = Get(b, end + 12, 4);
    const std::uint32_t dirOffset = Get(b, end + 16, 4);
    if (dirSize > end) return std::nullopt;
    // Offsets count from the zip data or from the file's start; the stub between shows here.
    const std::size_t dirAt = end - dirSize;
    const std::int64_t shift = static_cast<std::int64_t>(dirAt) - dirOffset;

    std::vector<Member> members;
    std::size_t at = dirAt;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (at + kCentralSize > end || Get(b, at, 4) != kCentralSignature) return std::nullopt;
        Member m;
        m.flags = static_cast<std::uint16_t>(Get(b, at + 8, 2));
        m.method = static_cast<std::uint16_t>(Get(b, at + 10, 2));
        m.dosTime = static_cast<std::uint16_t>(Get(b, at + 12, 2));
        m.dosDate = static_cast<std::uint16_t>(Get(b, at + 14, 2));
        m.crc = Get(b, at + 16, 4);
        m.compressedSize = Get(b, at + 20, 4);
        m.size = Get(b, at + 24, 4);
        const std::uint32_t nameLength = Get(b, at + 28, 2);
        const std::uint32_t extraLength = Get(b, at + 30, 2);
        const std::uint32_t commentLength = Get(b, at + 32, 2);
        const std::int64_t local = static_cast<std::int64_t>(Get(b, at + 42, 4)) + shift;
        if (at + kCentralSize + nameLength > end) return std::nullopt;
        m.name = b.substr(at + kCentralSize, nameLength);
        at += kCentralSize + nameLength + extraLength + commentLength;

        if (local < 0 || static_cast<std::size_t>(local) + kLocalSize > dirAt ||
            Get(b, static_cast<std::size_t>(local), 4) != kLocalSignature)
            return std::nullopt;
        const auto l = static_cast<std::size_t>(local);
        const std::size_t data = l + kLocalSize + Get(b, l + 26, 2) + Get(b, l + 28, 2);
        if (data + m.compressedSize > dirAt) return std::nullopt;
        m.data = b.substr(data, m.compressedSize);
        members.push_back(std::move(m));
    }
    return members;
}

std::optional<std::string> Expand(const Member& m, const std::string& password) {
    std::string data = m.data;
    if (m.Encrypted()) {
        constexpr std::size_t kHeader = 12;
        if (data.size() < kHeader) return std::nullopt;
        Keys keys(password);
        for (char& c : data) c = static_cast<char>(keys.Decrypt(static_cast<unsigned char>(c)));
        const bool timeCheck = (m.flags & 8) != 0;
        const auto check = static_cast<unsigned char>(timeCheck ? m.dosTime >> 8 : m.crc >> 24);
        if (static_cast<unsigned char>(data[kHeader - 1]) != check) return std::nullopt;
        data.erase(0, kHeader);
    }
    std::optional<std::string> content;
    if (m.method == 0)
        content = data;
    else if (m.method == 8)
        content = Inflate(data, m.size);
    if (!content || content->size() != m.size) return std::nullopt;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(content->data()),
                           static_cast<uInt>(content->size()));
    if (crc != m.crc) return std::nullopt;
    return content;
}

}  // namespace standin
