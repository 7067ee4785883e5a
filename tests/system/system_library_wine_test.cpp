// The system-folder loader under Wine. The stand-in unzip32.dll lies beside this program, where
// a plain LoadLibraryA would find it first.
#include "system/win32/system_library.h"

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <lm.h>

namespace tunlatch::win32 {
namespace {

using NetUserGetInfoFn = NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*);

TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
    const UniqueModule netapi = LoadSystemLibrary("netapi32.dll");
    ASSERT_TRUE(netapi);
    char path[MAX_PATH];
    char folder[MAX_PATH];
    ASSERT_NE(::GetModuleFileNameA(netapi.get(), path, MAX_PATH), 0u);
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    EXPECT_EQ(::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, length, folder, length),
              CSTR_EQUAL)
        << path;
    EXPECT_FALSE(LoadSystemLibrary("unzip32.dll"));
    const UniqueModule beside(::LoadLibraryA("unzip32.dll"));
    EXPECT_TRUE(beside) << "the stand-in is missing, so the line above proves nothing";
}

TEST(SystemLibrary, FindsTypedExportsOrNull) {
    const UniqueModule netapi = LoadSystemLibrary("netapi32.dll");
    const auto getInfo = FindExport<NetUserGetInfoFn>(netapi.get(), "NetUserGetInfo");
    ASSERT_NE(getInfo, nullptr);
    LPBYTE buffer = nullptr;
    EXPECT_EQ(getInfo(nullptr, L"no-such-user-tunlatch", 1, &buffer), NERR_UserNotFound);
    EXPECT_EQ(FindExport<NetUserGetInfoFn>(netapi.get(), "NoSuchExport"), nullptr);
    EXPECT_EQ(FindExport<NetUserGetInfoFn>(nullptr, "NetUserGetInfo"), nullptr);
}

}  // namespace
}  // namespace tunlatch::win32
