#include "system/win32/devices.h"

#include <windows.h>
// After <windows.h>, which they rely on.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>

#include "system/win32/system_library.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

namespace {

// Wine's SetupAPI fails calls it does not implement without setting a code: such a failure
// must not read as code 0, which is success.
SystemError LastError() {
    const DWORD code = ::GetLastError();
    return {code != ERROR_SUCCESS ? code : DWORD{ERROR_NOT_SUPPORTED}, SystemError::Family::Windows,
            SystemError::Stage::Call};
}

// The entry points this module calls; every pointer is null when a DLL or an export is missing,
// and missing keeps the code of the first load or look-up that failed.
struct DeviceApi {
    DWORD missing = ERROR_SUCCESS;
    UniqueModule setupapi = Load("setupapi.dll");
    UniqueModule cfgmgr32 = Load("cfgmgr32.dll");
    UniqueModule Load(const char* fileName) {
        UniqueModule module = LoadSystemLibrary(fileName);
        Note(static_cast<bool>(module));
        return module;
    }
    template <typename Fn>
    Fn From(const UniqueModule& module, const char* name) {
        const Fn function = FindExport<Fn>(module.get(), name);
        Note(function != nullptr);
        return function;
    }
    // A failure that left no code still counts as one.
    void Note(bool found) {
        if (!found && missing == ERROR_SUCCESS)
            missing = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_PROC_NOT_FOUND;
    }
    decltype(&::SetupDiGetClassDevsA) getClassDevs =
        From<decltype(getClassDevs)>(setupapi, "SetupDiGetClassDevsA");
    decltype(&::SetupDiCreateDeviceInfoList) createList =
        From<decltype(createList)>(setupapi, "SetupDiCreateDeviceInfoList");
    decltype(&::SetupDiDestroyDeviceInfoList) destroyList =
        From<decltype(destroyList)>(setupapi, "SetupDiDestroyDeviceInfoList");
    decltype(&::SetupDiEnumDeviceInfo) enumDevice =
        From<decltype(enumDevice)>(setupapi, "SetupDiEnumDeviceInfo");
    decltype(&::SetupDiOpenDeviceInfoA) openDevice =
        From<decltype(openDevice)>(setupapi, "SetupDiOpenDeviceInfoA");
    decltype(&::SetupDiGetDeviceInstanceIdA) instanceId =
        From<decltype(instanceId)>(setupapi, "SetupDiGetDeviceInstanceIdA");
    decltype(&::SetupDiGetDeviceRegistryPropertyA) property =
        From<decltype(property)>(setupapi, "SetupDiGetDeviceRegistryPropertyA");
    decltype(&::SetupDiSetClassInstallParamsA) setClassParams =
        From<decltype(setClassParams)>(setupapi, "SetupDiSetClassInstallParamsA");
    decltype(&::SetupDiCallClassInstaller) callInstaller =
        From<decltype(callInstaller)>(setupapi, "SetupDiCallClassInstaller");
    decltype(&::SetupDiGetDeviceInstallParamsA) installParams =
        From<decltype(installParams)>(setupapi, "SetupDiGetDeviceInstallParamsA");
    decltype(&::CM_Get_DevNode_Status) nodeStatus =
        From<decltype(nodeStatus)>(cfgmgr32, "CM_Get_DevNode_Status");

    Result<> Loaded() const {
        if (missing == ERROR_SUCCESS) return {};
        return SystemError{missing};
    }
};

// A device information list, destroyed with the DLL's own call.
class DeviceList {
public:
    DeviceList(const DeviceApi& api, HDEVINFO list) : api_(api), list_(list) {}
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    ~DeviceList() {
        if (*this) api_.destroyList(list_);
    }
    explicit operator bool() const { return list_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return list_; }

private:
    const DeviceApi& api_;
    HDEVINFO list_;
};

// One device, opened by its instance ID in a list of its own; error keeps SetupAPI's code when
// it could not be.
struct OpenedDevice {
    DeviceList list;
    SP_DEVINFO_DATA data{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    DWORD error = ERROR_SUCCESS;

    OpenedDevice(const DeviceApi& api, const std::string& instanceId)
        : list(api, api.createList(nullptr, nullptr)) {
        if (!list || !api.openDevice(list.get(), instanceId.c_str(), nullptr, 0, &data))
            error = LastError().code;
    }
    Result<> Opened() const {
        if (error == ERROR_SUCCESS) return {};
        return SystemError{error};
    }
};

// A property's raw bytes; empty when the device lacks it.
std::string Property(const DeviceApi& api, HDEVINFO list, SP_DEVINFO_DATA& device, DWORD which) {
    DWORD size = 0;
    api.property(list, &device, which, nullptr, nullptr, 0, &size);
    std::string bytes(size, '\0');
    if (size == 0 || !api.property(list, &device, which, nullptr,
                                   reinterpret_cast<BYTE*>(bytes.data()), size, nullptr))
        return {};
    return bytes;
}

// Whether a list of NUL-separated IDs holds id. As DevCon compares an ID without wildcards:
// whole, letter case ignored.
bool HasId(const std::string& ids, const std::string& id) {
    for (std::size_t at = 0; at < ids.size() && ids[at] != '\0';
         at += std::strlen(ids.c_str() + at) + 1) {
        if (::_stricmp(ids.c_str() + at, id.c_str()) == 0) return true;
    }
    return false;
}

std::string Text(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

Device Describe(const DeviceApi& api, HDEVINFO list, SP_DEVINFO_DATA& device) {
    char id[MAX_DEVICE_ID_LEN] = "";
    api.instanceId(list, &device, id, sizeof id, nullptr);
    std::string name = Text(Property(api, list, device, SPDRP_FRIENDLYNAME));
    if (name.empty()) name = Text(Property(api, list, device, SPDRP_DEVICEDESC));
    return {id, name};
}

// Device Console's reading of the node status.
DeviceState StateOf(ULONG status, ULONG problem) {
    using Kind = DeviceState::Kind;
    if ((status & DN_HAS_PROBLEM) != 0)
        return {problem == CM_PROB_DISABLED ? Kind::Disabled : Kind::Problem, problem};
    return {(status & DN_STARTED) != 0 ? Kind::Running : Kind::Stopped, 0};
}

Result<> Change(const DeviceApi& api, OpenedDevice& device, DWORD stateChange, DWORD scope) {
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = stateChange;
    params.Scope = scope;
    params.HwProfile = 0;  // the current profile, where the scope is one profile
    // So that a failure without a code of its own is told from one with a code left earlier.
    ::SetLastError(ERROR_SUCCESS);
    if (!api.setClassParams(device.list.get(), &device.data, &params.ClassInstallHeader,
                            sizeof params) ||
        !api.callInstaller(DIF_PROPERTYCHANGE, device.list.get(), &device.data)) {
        return LastError();
    }
    return {};
}

}  // namespace

Result<std::vector<Device>> Win32Devices::FindDevices(const std::string& id) {
    const DeviceApi api;
    if (const auto loaded = api.Loaded(); !loaded) return loaded.error();
    const DeviceList list(
        api, api.getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
    if (!list) return LastError();
    std::vector<Device> found;
    SP_DEVINFO_DATA device{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    DWORD index = 0;
    for (; api.enumDevice(list.get(), index, &device); ++index) {
        if (HasId(Property(api, list.get(), device, SPDRP_HARDWAREID), id) ||
            HasId(Property(api, list.get(), device, SPDRP_COMPATIBLEIDS), id))
            found.push_back(Describe(api, list.get(), device));
    }
    // The list ends with "no more items"; anything else cut it short, and a shortened list
    // could lack the device looked for.
    if (::GetLastError() != ERROR_NO_MORE_ITEMS) return LastError();
    return found;
}

Result<DeviceState> Win32Devices::GetDeviceState(const std::string& instanceId) {
    const DeviceApi api;
    if (const auto loaded = api.Loaded(); !loaded) return loaded.error();
    const OpenedDevice device(api, instanceId);
    if (const auto opened = device.Opened(); !opened) return opened.error();
    ULONG status = 0;
    ULONG problem = 0;
    const CONFIGRET result = api.nodeStatus(&status, &problem, device.data.DevInst, 0);
    if (result != CR_SUCCESS)
        return SystemError{result, SystemError::Family::ConfigManager, SystemError::Stage::Call};
    return StateOf(status, problem);
}

Result<DeviceChange> Win32Devices::SetDeviceEnabled(const std::string& instanceId, bool enable) {
    const DeviceApi api;
    if (const auto loaded = api.Loaded(); !loaded) return loaded.error();
    OpenedDevice device(api, instanceId);
    if (const auto opened = device.Opened(); !opened) return opened.error();
    if (enable) {
        // As DevCon: every profile first, whose refusal does not count (a device may be kept
        // per profile only), then the current one, which a device disabled there alone (as
        // DevCon's own disable leaves it) needs as well and whose outcome is the verdict.
        static_cast<void>(Change(api, device, DICS_ENABLE, DICS_FLAG_GLOBAL));
    }
    const auto changed = enable ? Change(api, device, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC)
                                : Change(api, device, DICS_DISABLE, DICS_FLAG_GLOBAL);
    if (!changed) return changed.error();
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (!api.installParams(device.list.get(), &device.data, &params)) return LastError();
    if ((params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0) return DeviceChange::NeedsRestart;
    return DeviceChange::Done;
}

}  // namespace tunlatch::win32
