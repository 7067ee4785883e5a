#pragma once
// The library interface of Info-ZIP's unzip32.dll in its two generations, as the library
// publishes them: UnZip 5.x (5.52 the last) and UnZip 6.0. Both export UzpVersion2 and
// Wiz_SingleEntryUnzip, but their option record DCL and callback record USERFUNCTIONS differ,
// and a library handed the other generation's records extracts nothing. Everything crosses with
// the WINAPI convention: in the 32-bit build a callback of another signature unbalances the
// library's stack.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace tunlatch::win32::unzip {

inline constexpr bool kIs64Bit = sizeof(void*) == 8;

struct VersionType {
    unsigned char major;
    unsigned char minor;
    unsigned char patchlevel;
    unsigned char not_used;
};

// The version record of UzpVersion2, whose texts are held in place rather than pointed to. 5.x
// knows it without dllapimin (64 bytes) and fills it when structlen covers those; 6.0 fills
// only a record of exactly its own 68 bytes and otherwise just answers that length.
struct UzpVer2 {
    unsigned long structlen;
    unsigned long flag;
    char betalevel[10];
    char date[20];
    char zlib_version[10];
    VersionType unzip;
    VersionType zipinfo;
    VersionType os2dll;
    VersionType windll;
    VersionType dllapimin;
};
inline constexpr unsigned long kVersion5RecordSize = offsetof(UzpVer2, dllapimin);

// Answers of the replace callback.
inline constexpr int kReplaceNo = 100;
inline constexpr int kReplaceYes = 102;
inline constexpr int kReplaceNone = 104;

// Callbacks both generations share.
using PrintFn = int(WINAPI*)(LPSTR text, unsigned long size);
using SoundFn = void(WINAPI*)();
using PasswordFn = int(WINAPI*)(LPSTR buffer, int size, LPCSTR prompt, LPCSTR name);

namespace v5 {

using ReplaceFn = int(WINAPI*)(LPSTR fileName);
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

using WizSingleEntryUnzipFn = int(WINAPI*)(int includeCount, char** includeNames, int excludeCount,
                                           char** excludeNames, DCL* options,
                                           USERFUNCTIONS* callbacks);

// Measured on Info-ZIP's own 5.52 builds.
static_assert(offsetof(DCL, lpszZipFN) == (kIs64Bit ? 64 : 60));
static_assert(sizeof(DCL) == (kIs64Bit ? 80 : 68));
static_assert(offsetof(USERFUNCTIONS, TotalSizeComp) == 6 * sizeof(void*));
static_assert(offsetof(USERFUNCTIONS, cchComment) == (kIs64Bit ? 64 : 40));
static_assert(sizeof(USERFUNCTIONS) == (kIs64Bit ? 72 : 44));

}  // namespace v5

namespace v6 {

// The DCL's first field names its layout; the library refuses any other.
inline constexpr unsigned kStructVersion = 0x600;

// The buffer's room comes along, for a library that lets the callback rename.
using ReplaceFn = int(WINAPI*)(LPSTR fileName, unsigned bufferSize);
using ListFn = void(WINAPI*)(std::uint64_t size, std::uint64_t compressedSize, unsigned factor,
                             unsigned month, unsigned day, unsigned year, unsigned hour,
                             unsigned minute, char mark, LPCSTR name, LPCSTR method,
                             unsigned long crc, char encrypted);
using ServiceFn = int(WINAPI*)(LPCSTR name, std::uint64_t size);
// The same two for callers without 64-bit integers: each size in a low and a high half.
using ListHalvesFn = void(WINAPI*)(unsigned long sizeLow, unsigned long sizeHigh,
                                   unsigned long compressedLow, unsigned long compressedHigh,
                                   unsigned factor, unsigned month, unsigned day, unsigned year,
                                   unsigned hour, unsigned minute, char mark, LPCSTR name,
                                   LPCSTR method, unsigned long crc, char encrypted);
using ServiceHalvesFn = int(WINAPI*)(LPCSTR name, unsigned long sizeLow, unsigned long sizeHigh);

struct USERFUNCTIONS {
    PrintFn print;
    SoundFn sound;
    ReplaceFn replace;
    PasswordFn password;
    ListFn SendApplicationMessage;
    ServiceFn ServCallBk;
    ListHalvesFn SendApplicationMessage_i32;
    ServiceHalvesFn ServCallBk_i32;
    // Totals the library writes back.
    std::uint64_t TotalSizeComp;
    std::uint64_t TotalSize;
    std::uint64_t NumMembers;
    unsigned CompFactor;
    WORD cchComment;
};

struct DCL {
    unsigned StructVersID;
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
    int B_flag;
    int C_flag;
    int D_flag;
    int U_flag;
    int fPrivilege;
    LPSTR lpszZipFN;
    LPSTR lpszExtractDir;
};

using WizSingleEntryUnzipFn = int(WINAPI*)(int includeCount, char** includeNames, int excludeCount,
                                           char** excludeNames, DCL* options,
                                           USERFUNCTIONS* callbacks);

// Measured on Info-ZIP's own 6.0 builds.
static_assert(offsetof(DCL, B_flag) == 56);
static_assert(offsetof(DCL, fPrivilege) == 72);
static_assert(offsetof(DCL, lpszZipFN) == (kIs64Bit ? 80 : 76));
static_assert(sizeof(DCL) == (kIs64Bit ? 96 : 84));
static_assert(offsetof(USERFUNCTIONS, TotalSizeComp) == 8 * sizeof(void*));
static_assert(offsetof(USERFUNCTIONS, CompFactor) == (kIs64Bit ? 88 : 56));
static_assert(offsetof(USERFUNCTIONS, cchComment) == (kIs64Bit ? 92 : 60));
static_assert(sizeof(USERFUNCTIONS) == (kIs64Bit ? 96 : 64));

}  // namespace v6

static_assert(kVersion5RecordSize == 64);
static_assert(sizeof(UzpVer2) == 68);

using UzpVersion2Fn = unsigned(WINAPI*)(UzpVer2* version);

}  // namespace tunlatch::win32::unzip
