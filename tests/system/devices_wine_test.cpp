// The device module against Wine's own SetupAPI, with root devices of the test's own (Wine can
// list devices and read their IDs, not change them).
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which they rely on.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <map>

#include "system/win32/devices.h"
#include "tests/system/failure.h"

namespace tunlatch::win32 {
namespace {

using test::Failure;

// A root device of the network class, made as a driver's installer makes one and removed with
// the object; IDs are comma-separated.
class RootDevice {
public:
    RootDevice(const std::string& description, const std::string& hardwareIds,
               const std::string& compatibleIds = "") {
        static constexpr GUID kNetClass = {
            0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
        EXPECT_TRUE(::SetupDiCreateDeviceInfoA(list_, "NET", &kNetClass, nullptr, nullptr,
                                               DICD_GENERATE_ID, &device_));
        Set(SPDRP_DEVICEDESC, description + '\0');
        Set(SPDRP_HARDWAREID, hardwareIds + std::string(2, '\0'));
        if (!compatibleIds.empty()) Set(SPDRP_COMPATIBLEIDS, compatibleIds + std::string(2, '\0'));
        EXPECT_TRUE(::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list_, &device_));
        char id[MAX_DEVICE_ID_LEN] = "";
        ::SetupDiGetDeviceInstanceIdA(list_, &device_, id, sizeof id, nullptr);
        instanceId = id;
    }
    ~RootDevice() {
        ::SetupDiRemoveDevice(list_, &device_);
        ::SetupDiDestroyDeviceInfoList(list_);
    }
    std::string instanceId;

private:
    void Set(DWORD property, std::string value) {
        std::replace(value.begin(), value.end(), ',', '\0');
        EXPECT_TRUE(::SetupDiSetDeviceRegistryPropertyA(list_, &device_, property,
                                                        reinterpret_cast<const BYTE*>(value.data()),
                                                        static_cast<DWORD>(value.size())));
    }
    HDEVINFO list_ = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA device_{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
};

TEST(Devices, FindsEitherIdListInAnyCaseReadsTheStateAndFailsTheChangeWithItsCode) {
    // The prefix is kept from run to run: IDs of this run's own.
    const std::string id = "TunlatchTest" + std::to_string(::GetTickCount());
    const std::string upper = "TUNLATCHTEST" + id.substr(12),
                      lower = "tunlatchtest" + id.substr(12);
    const RootDevice byHardware("Test adapter", "Other," + upper), byCompatible("", "Other", lower),
        longer("Near", id + "0");
    Win32Devices devices;
    const auto devicesFound = devices.FindDevices(id);
    ASSERT_TRUE(devicesFound);
    std::map<std::string, std::string> found;
    for (const Device& device : *devicesFound) found[device.instanceId] = device.name;
    EXPECT_EQ(found, (std::map<std::string, std::string>{{byHardware.instanceId, "Test adapter"},
                                                         {byCompatible.instanceId, ""}}));
    // Wine reports no status bits: neither running nor disabled.
    const auto state = devices.GetDeviceState(byHardware.instanceId);
    EXPECT_TRUE(state && state->kind == DeviceState::Kind::Stopped);
    // Wine's SetupAPI takes no class installer parameters and gives no code for it: both ways
    // fail as not supported, the enable with the current profile's change after the ignored
    // one in every profile.
    for (const bool enable : {false, true})
        EXPECT_EQ(Failure(devices.SetDeviceEnabled(byHardware.instanceId, enable)),
                  SystemError{ERROR_NOT_SUPPORTED})
            << enable;
    // SetupAPI's ERROR_NO_SUCH_DEVINST, a Windows code with its top bit set.
    EXPECT_EQ(Failure(devices.GetDeviceState("ROOT\\NET\\9999")), SystemError{0xE000020B});
}

}  // namespace
}  // namespace tunlatch::win32
