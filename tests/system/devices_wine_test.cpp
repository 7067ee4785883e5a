// The device module against Wine's own SetupAPI, with root devices made by the testbed's
// world_device beside this program (Wine can list devices and read their IDs, not change them).
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "system/win32/devices.h"
#include "system/win32/processes.h"
#include "tests/system/failure.h"
#include "tests/system/scratch_folder.h"

namespace tunlatch::win32 {
namespace {

using test::Failure;

// world_device's answer without its line end: the instance ID of a device it added.
std::string WorldDevice(const std::string& arguments) {
    const CaptureResult result = Win32Processes().RunCaptured(
        test::BinCommand("world_device.exe", arguments), std::chrono::seconds(60));
    const auto* output = std::get_if<std::string>(&result);
    return output ? output->substr(0, output->find('\r')) : std::string();
}

TEST(Devices, FindsEitherIdListInAnyCaseReadsTheStateAndFailsTheChangeWithItsCode) {
    // The prefix is kept from run to run: IDs of this run's own.
    const std::string id = "TunlatchTest" + std::to_string(::GetTickCount());
    const std::string upper = "TUNLATCHTEST" + id.substr(12),
                      lower = "tunlatchtest" + id.substr(12);
    const std::string byHardware = WorldDevice("add \"Test adapter\" Other," + upper);
    const std::string byCompatible = WorldDevice("add \"\" Other " + lower);
    const std::string longer = WorldDevice("add Near " + id + "0");
    Win32Devices devices;
    const auto devicesFound = devices.FindDevices(id);
    ASSERT_TRUE(devicesFound);
    std::map<std::string, std::string> found;
    for (const Device& device : *devicesFound) found[device.instanceId] = device.name;
    EXPECT_EQ(found, (std::map<std::string, std::string>{{byHardware, "Test adapter"},
                                                         {byCompatible, ""}}));
    // Wine reports no status bits: neither running nor disabled.
    const auto state = devices.GetDeviceState(byHardware);
    EXPECT_TRUE(state && state->kind == DeviceState::Kind::Stopped);
    // Wine's SetupAPI takes no class installer parameters and gives no code for it: both ways
    // fail as not supported, the enable with the current profile's change after the ignored
    // one in every profile.
    for (const bool enable : {false, true})
        EXPECT_EQ(Failure(devices.SetDeviceEnabled(byHardware, enable)),
                  SystemError{ERROR_NOT_SUPPORTED})
            << enable;
    // SetupAPI's ERROR_NO_SUCH_DEVINST, a Windows code with its top bit set.
    EXPECT_EQ(Failure(devices.GetDeviceState("ROOT\\NET\\9999")), SystemError{0xE000020B});
    for (const std::string& made : {byHardware, byCompatible, longer})
        WorldDevice("remove " + made);
}

}  // namespace
}  // namespace tunlatch::win32
