// Root devices for Wine's own SetupAPI, made as a driver's installer makes them, so that the
// device installer finds them (make-world --device-api root, the Win32 tests):
//   world_device add DESCRIPTION HARDWARE_IDS [COMPATIBLE_IDS]
//       a device of the network class with a generated instance ID (ROOT\NET\0000 for the
//       first), which it prints; IDS are comma-separated
//   world_device remove INSTANCE_ID
// Exit code 0 on success, 1 when SetupAPI refuses, 2 for bad arguments.
#include <windows.h>
// After <windows.h>, which it relies on.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The network adapters' class, GUID_DEVCLASS_NET.
constexpr GUID kNetClass = {
    0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

int Fail(const char* what) {
    std::fprintf(stderr, "world_device: %s failed, error %lu\n", what, ::GetLastError());
    return 1;
}

// Text, or with ids true comma-separated IDs made a NUL-separated list with its closing NUL.
bool Set(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property, std::string text, bool ids) {
    if (ids) {
        text += '\0';
        std::replace(text.begin(), text.end(), ',', '\0');
    }
    return ::SetupDiSetDeviceRegistryPropertyA(list, &device, property,
                                               reinterpret_cast<const BYTE*>(text.c_str()),
                                               static_cast<DWORD>(text.size() + 1));
}

int Add(HDEVINFO list, SP_DEVINFO_DATA& device, int argc, char** argv) {
    if (!::SetupDiCreateDeviceInfoA(list, "NET", &kNetClass, nullptr, nullptr, DICD_GENERATE_ID,
                                    &device))
        return Fail("SetupDiCreateDeviceInfo");
    if (!Set(list, device, SPDRP_DEVICEDESC, argv[2], false) ||
        !Set(list, device, SPDRP_HARDWAREID, argv[3], true) ||
        (argc == 5 && !Set(list, device, SPDRP_COMPATIBLEIDS, argv[4], true)))
        return Fail("SetupDiSetDeviceRegistryProperty");
    if (!::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list, &device))
        return Fail("DIF_REGISTERDEVICE");
    char id[MAX_DEVICE_ID_LEN] = "";
    ::SetupDiGetDeviceInstanceIdA(list, &device, id, sizeof id, nullptr);
    std::printf("%s\n", id);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool add = argc >= 4 && argc <= 5 && std::strcmp(argv[1], "add") == 0;
    if (!add && (argc != 3 || std::strcmp(argv[1], "remove") != 0)) return 2;
    HDEVINFO list = ::SetupDiCreateDeviceInfoList(&kNetClass, nullptr);
    if (list == INVALID_HANDLE_VALUE) return Fail("SetupDiCreateDeviceInfoList");
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    int result = 0;
    if (add)
        result = Add(list, device, argc, argv);
    else if (!::SetupDiOpenDeviceInfoA(list, argv[2], nullptr, 0, &device) ||
             !::SetupDiRemoveDevice(list, &device))
        result = Fail("removing the device");
    ::SetupDiDestroyDeviceInfoList(list);
    return result;
}
