// A stand-in for Info-ZIP's unzip32.dll with the library's 5.x interface: UzpVersion2 and
// Wiz_SingleEntryUnzip with the DCL and USERFUNCTIONS records, called WINAPI. It reads no zip:
// it serves fixed members chosen by the archive's file name, and as the library does it keeps
// or drops the stored folders (ndflag), overwrites existing files only when told to (noflag)
// and asks the password callback for each encrypted member.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "system/win32/unzip_api.h"

namespace fs = std::filesystem;
namespace unzip = tunlatch::win32::unzip;

namespace {

// Result codes and the password buffer's room, as the library has them.
constexpr int kOk = 0;
constexpr int kNoZipFile = 9;
constexpr int kPasswordRoom = 81;
constexpr int kBadPassword = 82;
constexpr const char* kPassword = "letmein";

struct Member {
    const char* name;  // "/" between folders
    std::string content;
    bool encrypted = false;
};

// A program file of that length whose header names the machine it was built for.
std::string Program(std::uint16_t machine, std::size_t length) {
    std::string image(length, '\0');
    image.replace(0, 2, "MZ");
    image[0x3c] = '\x80';
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    image[0x84] = static_cast<char>(machine & 0xff);
    image[0x85] = static_cast<char>(machine >> 8);
    return image;
}

std::vector<Member> MembersOf(const std::string& archiveName) {
    // The vendor's DevCon archive, under the name the download saves it as.
    if (archiveName == "devcon.exe")
        return {{"i386/devcon.exe", Program(0x14c, 55808)},
                {"ia64/devcon.exe", Program(0x200, 92672)},
                {"eula.txt", "DEVCON STAND-IN LICENCE\r\n"}};
    if (archiveName == "encrypted.zip")
        return {{"plain.txt", "not secret\r\n"},
                {"secret/first.txt", "first secret\r\n", true},
                {"secret/second.txt", "second secret\r\n", true}};
    return {};
}

int Extract(const unzip::DCL& options, unzip::USERFUNCTIONS& callbacks) {
    const fs::path archive = options.lpszZipFN;
    if (!fs::is_regular_file(archive)) return kNoZipFile;
    int result = kOk;
    for (const Member& m : MembersOf(archive.filename().string())) {
        ++callbacks.NumMembers;
        const fs::path name = options.ndflag != 0 ? fs::path(m.name) : fs::path(m.name).filename();
        const fs::path target = fs::path(options.lpszExtractDir) / name;
        if (fs::exists(target) && options.noflag == 0) continue;
        if (m.encrypted) {
            char buffer[kPasswordRoom] = {};
            if (callbacks.password == nullptr ||
                callbacks.password(buffer, kPasswordRoom, "Enter password: ", m.name) != 0 ||
                std::strcmp(buffer, kPassword) != 0) {
                result = kBadPassword;
                continue;
            }
        }
        fs::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << m.content;
    }
    return result;
}

}  // namespace

extern "C" {

__declspec(dllexport) unsigned WINAPI UzpVersion2(unzip::UzpVer* version) {
    if (version == nullptr || version->structlen < sizeof(unzip::UzpVer))
        return sizeof(unzip::UzpVer);
    version->unzip = version->windll = {5, 52, 0, 0};
    return 0;
}

__declspec(dllexport) int WINAPI Wiz_SingleEntryUnzip(int, char**, int, char**, unzip::DCL* options,
                                                      unzip::USERFUNCTIONS* callbacks) {
    if (options == nullptr || callbacks == nullptr || options->lpszZipFN == nullptr)
        return kNoZipFile;
    return Extract(*options, *callbacks);
}

}  // extern "C"
