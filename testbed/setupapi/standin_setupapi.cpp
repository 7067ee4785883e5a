// A stand-in for the SetupAPI and Configuration Manager entry points that Tunlatch calls to find
// the VPN client's adapter, read its state and enable or disable it, following Microsoft's
// documentation of them (structure sizes, the class install header, error codes).
//
// It knows two present devices: ROOT\SYSTEM\0000 (hardware ID "hamachi-filter", which does not
// match) and the adapter ROOT\NET\0000 (hardware ID "Hamachi", description "Hamachi Network
// Interface"). It shares the DevCon stand-in's world (testbed/common/devcon_world.h), section
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

struct Known {
    const char* instanceId;
    const char* hardwareIds;  // REG_MULTI_SZ
    std::size_t idsSize;
    const char* description;
};
constexpr char kFilterIds[] = "hamachi-filter\0";
constexpr char kAdapterIds[] = "Hamachi\0";
constexpr Known kDevices[] = {
    {"ROOT\\SYSTEM\\0000", kFilterIds, sizeof kFilterIds, "Hamachi packet filter"},
    {"ROOT\\NET\\0000", kAdapterIds, sizeof kAdapterIds, "Hamachi Network Interface"},
};
constexpr DEVINST kFirstDevInst = 100;
constexpr int kAdapter = 1;

// A device information list: the devices it holds, and the class install parameters of its one
// opened device.
struct List {
    bool holds[2] = {false, false};
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

// The device an SP_DEVINFO_DATA of this list names, or -1.
int DeviceOf(HDEVINFO handle, const SP_DEVINFO_DATA* data) {
    const List* list = ListOf(handle);
    if (list == nullptr || data == nullptr || data->cbSize != kDevInfoDataSize) return -1;
    const ULONG_PTR index = data->DevInst - kFirstDevInst;
    return index < 2 && list->holds[index] ? static_cast<int>(index) : -1;
}

void Fill(int device, SP_DEVINFO_DATA* data) {
    data->ClassGuid =
        GUID{0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    data->DevInst = kFirstDevInst + device;
    data->Reserved = 0;
}

void Record(bool enable, DWORD scope, int device) {
    char call[128];
    std::snprintf(call, sizeof call, "SetupDi %s %s %s", enable ? "enable" : "disable",
                  scope == DICS_FLAG_GLOBAL ? "global" : "config", kDevices[device].instanceId);
    tunlatch::testbed::LogCall(call);
}

}  // namespace

extern "C" {

__declspec(dllexport) HDEVINFO WINAPI SetupDiCreateDeviceInfoList(const GUID*, HWND) {
    return new List;
}

__declspec(dllexport) HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) {
    List* list = new List;
    list->holds[0] = list->holds[1] = true;
    return list;
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
    if (data == nullptr || data->cbSize != kDevInfoDataSize) return Fail(ERROR_INVALID_USER_BUFFER);
    for (int device = 0; device < 2; ++device) {
        if (list->holds[device] && index-- == 0) {
            Fill(device, data);
            return TRUE;
        }
    }
    return Fail(ERROR_NO_MORE_ITEMS);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiOpenDeviceInfoA(HDEVINFO handle, PCSTR instanceId, HWND, DWORD, PSP_DEVINFO_DATA data) {
    List* list = ListOf(handle);
    if (list == nullptr) return Fail(ERROR_INVALID_HANDLE);
    if (instanceId == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (data == nullptr || data->cbSize != kDevInfoDataSize) return Fail(ERROR_INVALID_USER_BUFFER);
    for (int device = 0; device < 2; ++device) {
        if (_stricmp(instanceId, kDevices[device].instanceId) == 0) {
            list->holds[device] = true;
            Fill(device, data);
            return TRUE;
        }
    }
    return Fail(ERROR_NO_SUCH_DEVINST);
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceInstanceIdA(HDEVINFO handle, PSP_DEVINFO_DATA data, PSTR buffer, DWORD size,
                                PDWORD) {
    const int device = DeviceOf(handle, data);
    if (device < 0) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD length = static_cast<DWORD>(std::strlen(kDevices[device].instanceId)) + 1;
    if (buffer == nullptr || size < length) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, kDevices[device].instanceId, length);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceRegistryPropertyA(HDEVINFO handle, PSP_DEVINFO_DATA data, DWORD property,
                                      PDWORD, PBYTE buffer, DWORD size, PDWORD required) {
    const int device = DeviceOf(handle, data);
    if (device < 0) return Fail(ERROR_INVALID_PARAMETER);
    const Known& known = kDevices[device];
    const bool ids = property == SPDRP_HARDWAREID;
    // The devices have no other property.
    if (!ids && property != SPDRP_DEVICEDESC) return Fail(ERROR_INVALID_DATA);
    const char* value = ids ? known.hardwareIds : known.description;
    const auto length = static_cast<DWORD>(ids ? known.idsSize : std::strlen(value) + 1);
    if (required != nullptr) *required = length;
    if (buffer == nullptr || size < length) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, value, length);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiSetClassInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA data,
                                  PSP_CLASSINSTALL_HEADER header, DWORD size) {
    List* list = ListOf(handle);
    if (DeviceOf(handle, data) < 0 || header == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (header->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (header->InstallFunction != DIF_PROPERTYCHANGE || size != sizeof(SP_PROPCHANGE_PARAMS))
        return Fail(ERROR_INVALID_PARAMETER);
    std::memcpy(&list->change, header, sizeof list->change);
    list->changeSet = true;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiCallClassInstaller(DI_FUNCTION function, HDEVINFO handle, PSP_DEVINFO_DATA data) {
    List* list = ListOf(handle);
    const int device = DeviceOf(handle, data);
    if (device < 0) return Fail(ERROR_INVALID_PARAMETER);
    if (function != DIF_PROPERTYCHANGE || !list->changeSet) return Fail(ERROR_DI_DO_DEFAULT);
    const SP_PROPCHANGE_PARAMS& change = list->change;
    const bool enable = change.StateChange == DICS_ENABLE;
    if ((!enable && change.StateChange != DICS_DISABLE) ||
        (change.Scope != DICS_FLAG_GLOBAL && change.Scope != DICS_FLAG_CONFIGSPECIFIC))
        return Fail(ERROR_INVALID_PARAMETER);
    Record(enable, change.Scope, device);
    if (device == kAdapter) tunlatch::testbed::SetAdapterEnabled(enable);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    SetupDiGetDeviceInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA data,
                                   PSP_DEVINSTALL_PARAMS_A params) {
    if (DeviceOf(handle, data) < 0) return Fail(ERROR_INVALID_PARAMETER);
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
    const DEVINST index = devInst - kFirstDevInst;
    if (index >= 2) return CR_NO_SUCH_DEVINST;
    const bool disabled =
        index == kAdapter && tunlatch::testbed::DevconSetting("state", "disabled");
    *status = DN_DRIVER_LOADED | (disabled ? DN_HAS_PROBLEM : DN_STARTED);
    *problem = disabled ? CM_PROB_DISABLED : 0;
    return CR_SUCCESS;
}

}  // extern "C"
