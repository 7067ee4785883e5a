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

// The entry points this module calls; every pointer is null when a DLL or an export is missing.
struct DeviceApi {
    UniqueModule setupapi = LoadSystemLibrary("setupapi.dll");
    UniqueModule cfgmgr32 = LoadSystemLibrary("cfgmgr32.dll");
    template <typename Fn>
    Fn From(const UniqueModule& module, const char* name) const {
        return FindExport<Fn>(module.get(), name);
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

    bool Complete() const {
        return getClassDevs && createList && destroyList && enumDevice && openDevice &&
               instanceId && property && setClassParams && callInstaller && installParams &&
               nodeStatus;
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

// One device, opened by its instance ID in a list of its own.
struct OpenedDevice {
    DeviceList list;
    SP_DEVINFO_DATA data{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    bool opened = false;

    OpenedDevice(const DeviceApi& api, const std::string& instanceId)
        : list(api, api.createList(nullptr, nullptr)) {
        opened = list && api.openDevice(list.get(), instanceId.c_str(), nullptr, 0, &data);
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

bool Change(const DeviceApi& api, OpenedDevice& device, DWORD stateChange, DWORD scope) {
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = stateChange;
    params.Scope = scope;
    params.HwProfile = 0;  // the current profile, where the scope is one profile
    return api.setClassParams(device.list.get(), &device.data, &params.ClassInstallHeader,
                              sizeof params) &&
           api.callInstaller(DIF_PROPERTYCHANGE, device.list.get(), &device.data);
}

}  // namespace

std::vector<Device> Win32Devices::FindDevices(const std::string& id) {
    const DeviceApi api;
    std::vector<Device> found;
    if (!api.Complete()) return found;
    const DeviceList list(
        api, api.getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
    SP_DEVINFO_DATA device{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    for (DWORD index = 0; list && api.enumDevice(list.get(), index, &device); ++index) {
        if (HasId(Property(api, list.get(), device, SPDRP_HARDWAREID), id) ||
            HasId(Property(api, list.get(), device, SPDRP_COMPATIBLEIDS), id))
            found.push_back(Describe(api, list.get(), device));
    }
    return found;
}

DeviceState Win32Devices::GetDeviceState(const std::string& instanceId) {
    const DeviceApi api;
    if (!api.Complete()) return {DeviceState::Kind::Unreadable, CR_FAILURE};
    OpenedDevice device(api, instanceId);
    if (!device.opened) return {DeviceState::Kind::Unreadable, CR_NO_SUCH_DEVINST};
    ULONG status = 0;
    ULONG problem = 0;
    const CONFIGRET result = api.nodeStatus(&status, &problem, device.data.DevInst, 0);
    if (result != CR_SUCCESS) return {DeviceState::Kind::Unreadable, result};
    return StateOf(status, problem);
}

DeviceChange Win32Devices::SetDeviceEnabled(const std::string& instanceId, bool enable) {
    using Outcome = DeviceChange::Outcome;
    const DeviceApi api;
    if (!api.Complete()) return {Outcome::Failed, ::GetLastError()};
    OpenedDevice device(api, instanceId);
    if (!device.opened) return {Outcome::Failed, ::GetLastError()};
    // As DevCon: an enable goes to every profile and then to the current one, which a device
    // disabled there alone (as DevCon's own disable leaves it) needs as well.
    const bool changed = enable ? Change(api, device, DICS_ENABLE, DICS_FLAG_GLOBAL) &&
                                      Change(api, device, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC)
                                : Change(api, device, DICS_DISABLE, DICS_FLAG_GLOBAL);
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (!changed || !api.installParams(device.list.get(), &device.data, &params))
        return {Outcome::Failed, ::GetLastError()};
    if ((params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0) return {Outcome::NeedsRestart, 0};
    return {Outcome::Done, 0};
}

}  // namespace tunlatch::win32
