// A stand-in for the SetupAPI and Configuration Manager entry points that Tunlatch calls to find
// the VPN client's adapter, read its state and enable or disable it, following Microsoft's
// documentation of them (structure sizes, the class install header, error codes).
//
// It knows one present device, the adapter ROOT\NET\0000 (hardware ID "Hamachi", description
// "Hamachi Network Interface"); finding a device among others is Wine's own SetupAPI's part. It
// shares the DevCon stand-in's world (testbed/common/devcon_world.h), section
// [devcon] of devcon_state.ini beside the program:
//   state=enabled|disabled   the adapter's state (missing: enabled)
// and appends each change, "SetupDi enable|disable global|config INSTANCE", to devcon_calls.log.
#define _SETUPAPI_
#define _CFGMGR32_
#include <windows.h>
// After <windows.h>, which they rely on.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstdio>
#include <cstring>

#include "testbed/common/devcon_world.h"

namespace {

// The documented sizes that callers put into cbSize.
#ifdef _WIN64
constexpr DWORD kDevInfoDataSize = 32;
constexpr DWORD kInstallParamsSize = 320;
#else
constexpr DWORD kDevInfoDataSize = 28;
constexpr DWORD kInstallParamsSize = 296;
#endif
static_assert(sizeof(SP_DEVINFO_DATA) == kDevInfoDataSize);
static_assert(sizeof(SP_DEVINSTALL_PARAMS_A) == kInstallParamsSize);
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8 && sizeof(SP_PROPCHANGE_PARAMS) == 20);

constexpr char kInstanceId[] = "ROOT\\NET\\0000";
constexpr char kHardwareIds[] = "Hamachi\0";  // REG_MULTI_SZ
constexpr char kDescription[] = "Hamachi Network Interface";
constexpr DEVINST kDevInst = 100;

// A device information list: whether it holds the adapter, and the class install parameters set
// for it.
struct List {
    bool holds = false;
    SP_PROPCHANGE_PARAMS change{};
    bool changeSet = false;
};

BOOL Fail(DWORD error) {
    ::SetLastError(error);
    return FALSE;
}

List* ListOf(HDEVINFO handle) {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE ? nullptr
                                                               : static_cast<List*>(handle);
}

// Whether an SP_DEVINFO_DATA names the adapter in a list that holds it.
bool IsAdapter(HDEVINFO handle, const SP_DEVINFO_DATA* data) {
    const List* list = ListOf(handle);
    return list != nullptr && list->holds && data != nullptr && data->cbSize == kDevInfoDataSize &&
           data->DevInst == kDevInst;
}

BOOL Fill(SP_DEVINFO_DATA* data) {
    if (data == nullptr || data->cbSize != kDevInfoDataSize) return Fail(ERROR_INVALID_USER_BUFFER);
    data->ClassGuid =
        GUID{0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    data->DevInst = kDevInst;
    data->Reserved = 0;
    return TRUE;
}

// Copies a value of the given length, as SetupAPI does: only into a buffer that holds it whole.
BOOL Give(const char* value, DWORD length, PBYTE buffer, DWORD size, PDWORD required) {
    if (required != nullptr) *required = length;
    if (buffer == nullptr || size < length) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, value, length);
    return TRUE;
}

}  // namespace

extern "C" {

__declspec(dllexport) HDEVINFO WINAPI SetupDiCreateDeviceInfoList(const GUID*, HWND) {
    return new List;
}

__declspec(dllexport) HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) {
    return new List{true};
}

__declspec(dllexport) BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    List* list = ListOf(handle);
    if (list == nullptr) return Fail(ERROR_INVALID_HANDLE);
    delete list;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiEnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA data) {
    const List* list = ListOf(handle);
    if (list == nullptr) return Fail(ERROR_INVALID_HANDLE);
    return list->holds && index == 0 ? Fill(data) : Fail(ERROR_NO_MORE_ITEMS);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiOpenDeviceInfoA(HDEVINFO handle, PCSTR instanceId, HWND, DWORD, PSP_DEVINFO_DATA data) {
    List* list = ListOf(handle);
    if (list == nullptr) return Fail(ERROR_INVALID_HANDLE);
    if (instanceId == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (_stricmp(instanceId, kInstanceId) != 0) return Fail(ERROR_NO_SUCH_DEVINST);
    list->holds = true;
    return Fill(data);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceInstanceIdA(HDEVINFO handle, PSP_DEVINFO_DATA data, PSTR buffer, DWORD size,
                                PDWORD required) {
    if (!IsAdapter(handle, data)) return Fail(ERROR_INVALID_PARAMETER);
    return Give(kInstanceId, sizeof kInstanceId, reinterpret_cast<PBYTE>(buffer), size, required);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceRegistryPropertyA(HDEVINFO handle, PSP_DEVINFO_DATA data, DWORD property,
                                      PDWORD, PBYTE buffer, DWORD size, PDWORD required) {
    if (!IsAdapter(handle, data)) return Fail(ERROR_INVALID_PARAMETER);
    // The adapter has no other property.
    if (property == SPDRP_HARDWAREID)
        return Give(kHardwareIds, sizeof kHardwareIds, buffer, size, required);
    if (property == SPDRP_DEVICEDESC)
        return Give(kDescription, sizeof kDescription, buffer, size, required);
    return Fail(ERROR_INVALID_DATA);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiSetClassInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA data,
                                  PSP_CLASSINSTALL_HEADER header, DWORD size) {
    if (!IsAdapter(handle, data) || header == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (header->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (header->InstallFunction != DIF_PROPERTYCHANGE || size != sizeof(SP_PROPCHANGE_PARAMS))
        return Fail(ERROR_INVALID_PARAMETER);
    std::memcpy(&ListOf(handle)->change, header, sizeof(SP_PROPCHANGE_PARAMS));
    ListOf(handle)->changeSet = true;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiCallClassInstaller(DI_FUNCTION function, HDEVINFO handle, PSP_DEVINFO_DATA data) {
    if (!IsAdapter(handle, data)) return Fail(ERROR_INVALID_PARAMETER);
    const List& list = *ListOf(handle);
    if (function != DIF_PROPERTYCHANGE || !list.changeSet) return Fail(ERROR_DI_DO_DEFAULT);
    const bool enable = list.change.StateChange == DICS_ENABLE;
    const DWORD scope = list.change.Scope;
    if ((!enable && list.change.StateChange != DICS_DISABLE) ||
        (scope != DICS_FLAG_GLOBAL && scope != DICS_FLAG_CONFIGSPECIFIC))
        return Fail(ERROR_INVALID_PARAMETER);
    char call[128];
    std::snprintf(call, sizeof call, "SetupDi %s %s %s", enable ? "enable" : "disable",
                  scope == DICS_FLAG_GLOBAL ? "global" : "config", kInstanceId);
    tunlatch::testbed::LogCall(call);
    tunlatch::testbed::SetAdapterEnabled(enable);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA data,
                                   PSP_DEVINSTALL_PARAMS_A params) {
    if (!IsAdapter(handle, data)) return Fail(ERROR_INVALID_PARAMETER);
    if (params == nullptr || params->cbSize != kInstallParamsSize)
        return Fail(ERROR_INVALID_USER_BUFFER);
    std::memset(reinterpret_cast<char*>(params) + sizeof params->cbSize, 0,
                kInstallParamsSize - sizeof params->cbSize);
    return TRUE;
}

__declspec(dllexport) CONFIGRET WINAPI
    CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST devInst, ULONG flags) {
    if (status == nullptr || problem == nullptr) return CR_INVALID_POINTER;
    if (flags != 0) return CR_INVALID_FLAG;
    if (devInst != kDevInst) return CR_NO_SUCH_DEVINST;
    const bool disabled = tunlatch::testbed::DevconSetting("state", "disabled");
    *status = DN_DRIVER_LOADED | (disabled ? DN_HAS_PROBLEM : DN_STARTED);
    *problem = disabled ? CM_PROB_DISABLED : 0;
    return CR_SUCCESS;
}

}  // extern "C"
