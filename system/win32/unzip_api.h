#pragma once
// The UnZip 5.x library interface of Info-ZIP's unzip32.dll as the library publishes it: the
// option record DCL, the callback record USERFUNCTIONS, the version record that UzpVersion2
// fills, and the two exports. Everything crosses with the WINAPI convention, which matters in
// the 32-bit build.
#include <windows.h>

#include <cstddef>

namespace tunlatch::win32::unzip {

using PrintFn = int(WINAPI*)(LPSTR text, unsigned long size);
using SoundFn = void(WINAPI*)();
using ReplaceFn = int(WINAPI*)(LPSTR fileName);
using PasswordFn = int(WINAPI*)(LPSTR buffer, int size, LPCSTR prompt, LPCSTR name);
// One member in list mode: sizes, compression factor, date, time, encryption mark, name,
// method, checksum, encrypted flag.
using ListFn = void(WINAPI*)(unsigned long size, unsigned long compressedSize, unsigned factor,
                             unsigned month, unsigned day, unsigned year, unsigned hour,
                             unsigned minute, char mark, LPSTR name, LPSTR method,
                             unsigned long crc, char encrypted);
using ServiceFn = int(WINAPI*)(LPCSTR name, unsigned long size);

struct USERFUNCTIONS {
    PrintFn print;
    SoundFn sound;
    ReplaceFn replace;
    PasswordFn password;
    ListFn SendApplicationMessage;
    ServiceFn ServCallBk;
    // Totals the library writes back.
    unsigned long TotalSizeComp;
    unsigned long TotalSize;
    int CompFactor;
    unsigned int NumMembers;
    WORD cchComment;
};

struct DCL {
    int ExtractOnlyNewer;
    int SpaceToUnderscore;
    int PromptToOverwrite;
    int fQuiet;
    int ncflag;
    int ntflag;
    int nvflag;
    int nfflag;
    int nzflag;
    int ndflag;
    int noflag;
    int naflag;
    int nZIflag;
    int C_flag;
    int fPrivilege;
    LPSTR lpszZipFN;
    LPSTR lpszExtractDir;
};

struct VersionType {
    unsigned char major;
    unsigned char minor;
    unsigned char patchlevel;
    unsigned char not_used;
};

// The version record of UzpVersion2, whose texts are held in place rather than pointed to.
struct UzpVer {
    unsigned long structlen;
    unsigned long flag;
    char betalevel[10];
    char date[20];
    char zlib_version[10];
    VersionType unzip;
    VersionType zipinfo;
    VersionType os2dll;
    VersionType windll;
};

// Answers of the replace callback.
inline constexpr int kReplaceNo = 100;
inline constexpr int kReplaceYes = 102;
inline constexpr int kReplaceNone = 104;

using UzpVersion2Fn = unsigned(WINAPI*)(UzpVer* version);
using WizSingleEntryUnzipFn = int(WINAPI*)(int includeCount, char** includeNames, int excludeCount,
                                           char** excludeNames, DCL* options,
                                           USERFUNCTIONS* callbacks);

static_assert(sizeof(UzpVer) == 64);
static_assert(offsetof(DCL, lpszZipFN) == (sizeof(void*) == 8 ? 64 : 60));
static_assert(sizeof(DCL) == (sizeof(void*) == 8 ? 80 : 68));
static_assert(offsetof(USERFUNCTIONS, TotalSizeComp) == 6 * sizeof(void*));
static_assert(sizeof(USERFUNCTIONS) == (sizeof(void*) == 8 ? 72 : 44));

}  // namespace tunlatch::win32::unzip
