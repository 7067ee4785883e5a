// urlmon.dll's URLDownloadToFileA for a test world: whatever the address, the download delivers
// the file served_download beside the running program, as the vendor's fixed https address
// cannot be served on a machine without the Internet.
#include <windows.h>

#include <cstring>

extern "C" __declspec(dllexport) HRESULT WINAPI
    URLDownloadToFileA(void*, LPCSTR, LPCSTR file, DWORD, void*) {
    char source[MAX_PATH + 16] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, source, MAX_PATH);
    char* slash = std::strrchr(source, '\\');
    if (n == 0 || n >= MAX_PATH || slash == nullptr) return E_FAIL;
    std::strcpy(slash + 1, "served_download");
    // INET_E_DOWNLOAD_FAILURE, as for an address that cannot be reached.
    return ::CopyFileA(source, file, FALSE) ? S_OK : static_cast<HRESULT>(0x800C0008L);
}
