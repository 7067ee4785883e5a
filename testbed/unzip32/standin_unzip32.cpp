// A stand-in for Info-ZIP's unzip32.dll with the same 5.x interface, for the Win32 tests: it
// extracts stored and deflated members (traditionally encrypted ones too), honours the folder,
// overwrite and list options, and calls the print, service, replace and password callbacks the
// way the library does.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "system/win32/unzip_api.h"
#include "testbed/unzip32/zip_reader.h"

namespace unzip = tunlatch::win32::unzip;

namespace {

// Result codes of the library.
constexpr int kOk = 0;
constexpr int kWarning = 1;
constexpr int kNoZipFile = 9;
constexpr int kBadPassword = 82;
constexpr int kPasswordRoom = 81;

void Print(const unzip::DCL& options, unzip::USERFUNCTIONS& callbacks, const std::string& text) {
    if (options.fQuiet >= 2 || callbacks.print == nullptr) return;
    std::string message = text;
    callbacks.print(message.data(), static_cast<unsigned long>(message.size()));
}

std::string Join(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    for (char c : name) path += c == '/' ? '\\' : c;
    return path;
}

void CreateFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryA(path.c_str(), nullptr);
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWhole(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

class Extraction {
public:
    Extraction(const unzip::DCL& options, unzip::USERFUNCTIONS& callbacks)
        : options_(options), callbacks_(callbacks) {}

    int Run() {
        std::ifstream in(options_.lpszZipFN, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const auto members = standin::ReadArchive(bytes);
        if (!in || !members) {
            Print(options_, callbacks_,
                  std::string("cannot find zipfile directory in ") + options_.lpszZipFN + "\n");
            return kNoZipFile;
        }
        int result = kOk;
        for (const standin::Member& m : *members) {
            callbacks_.TotalSize += m.size;
            callbacks_.TotalSizeComp += m.compressedSize;
            ++callbacks_.NumMembers;
            if (options_.nvflag != 0) {
                List(m);
                continue;
            }
            if (callbacks_.ServCallBk != nullptr &&
                callbacks_.ServCallBk(m.name.c_str(), m.size) != 0)
                break;
            const int one = ExtractMember(m);
            if (one != kOk) result = one;
        }
        return result;
    }

private:
    void List(const standin::Member& m) {
        if (callbacks_.SendApplicationMessage == nullptr) return;
        std::string name = m.name;
        char method[] = "Defl:N";
        callbacks_.SendApplicationMessage(m.size, m.compressedSize, 0, (m.dosDate >> 5) & 15,
                                          m.dosDate & 31, (m.dosDate >> 9) + 1980, m.dosTime >> 11,
                                          (m.dosTime >> 5) & 63, m.Encrypted() ? 'E' : ' ',
                                          name.data(), method, m.crc, m.Encrypted() ? 1 : 0);
    }

    std::string Target(const standin::Member& m) const {
        std::string name = m.name;
        if (options_.ndflag == 0) name = name.substr(name.find_last_of('/') + 1);
        return Join(options_.lpszExtractDir != nullptr ? options_.lpszExtractDir : "", name);
    }

    // False when an existing file is to be left as it is.
    bool MayWrite(const std::string& target) {
        if (!Exists(target) || options_.noflag != 0) return true;
        if (overwriteNone_ || options_.PromptToOverwrite == 0 || callbacks_.replace == nullptr)
            return false;
        std::string name = target;
        switch (callbacks_.replace(name.data())) {
            case unzip::kReplaceYes:
                return true;
            case unzip::kReplaceNone:
                overwriteNone_ = true;
                return false;
            default:
                return false;
        }
    }

    int ExtractMember(const standin::Member& m) {
        const std::string target = Target(m);
        if (m.Folder()) {
            if (options_.ndflag != 0) CreateFolders(target.substr(0, target.size() - 1));
            return kOk;
        }
        if (!MayWrite(target)) {
            Print(options_, callbacks_, "  skipping: " + m.name + "\n");
            return kOk;
        }
        std::string password;
        if (m.Encrypted()) {
            char buffer[kPasswordRoom] = {};
            std::string prompt = "Enter password for: ";
            if (callbacks_.password == nullptr ||
                callbacks_.password(buffer, kPasswordRoom, prompt.c_str(), m.name.c_str()) != 0) {
                Print(options_, callbacks_, "  skipping: " + m.name + "  no password\n");
                return kBadPassword;
            }
            password.assign(buffer, strnlen(buffer, kPasswordRoom));
        }
        const auto content = standin::Expand(m, password);
        if (!content) {
            Print(options_, callbacks_, "  error: " + m.name + "  bad data or password\n");
            return m.Encrypted() ? kBadPassword : kWarning;
        }
        const std::size_t slash = target.find_last_of('\\');
        if (slash != std::string::npos) CreateFolders(target.substr(0, slash));
        if (!WriteWhole(target, *content)) return kWarning;
        Print(options_, callbacks_,
              std::string(m.method == 8 ? "  inflating: " : " extracting: ") + m.name + "\n");
        return kOk;
    }

    const unzip::DCL& options_;
    unzip::USERFUNCTIONS& callbacks_;
    bool overwriteNone_ = false;
};

}  // namespace

extern "C" {

#ifndef STANDIN_WITHOUT_VERSION
__declspec(dllexport) unsigned WINAPI UzpVersion2(unzip::UzpVer* version) {
    if (version == nullptr || version->structlen < sizeof(unzip::UzpVer))
        return sizeof(unzip::UzpVer);
    version->flag = 2;  // uses zlib
    std::snprintf(version->betalevel, sizeof version->betalevel, "%s", "");
    std::snprintf(version->date, sizeof version->date, "%s", "20 February 2005");
    std::snprintf(version->zlib_version, sizeof version->zlib_version, "%s", "1.2.13");
    version->unzip = {5, 52, 0, 0};
    version->zipinfo = {2, 42, 0, 0};
    version->windll = {5, 52, 0, 0};
    return 0;
}
#endif

__declspec(dllexport) int WINAPI Wiz_SingleEntryUnzip(int, char**, int, char**, unzip::DCL* options,
                                                      unzip::USERFUNCTIONS* callbacks) {
    if (options == nullptr || callbacks == nullptr || options->lpszZipFN == nullptr)
        return kNoZipFile;
    return Extraction(*options, *callbacks).Run();
}

}  // extern "C"
