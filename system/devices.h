#pragma once
// Devices through Windows' own device installer, as Device Console (devcon.exe) reaches them:
// find them by hardware or compatible ID, read their state, enable or disable them for good.
#include <cstdint>
#include <string>
#include <vector>

namespace tunlatch {

struct Device {
    std::string instanceId;  // for example "ROOT\NET\0000"
    std::string name;        // the friendly name, else the description; may be empty
};

// A device's state as the Configuration Manager reports it.
struct DeviceState {
    enum class Kind { Running, Disabled, Stopped, Problem, Unreadable };
    Kind kind = Kind::Unreadable;
    std::uint32_t code = 0;  // Problem: the problem number; Unreadable: the CONFIGRET
};

// How a change of a device's state ended.
struct DeviceChange {
    enum class Outcome { Done, NeedsRestart, Failed };
    Outcome outcome = Outcome::Failed;
    std::uint32_t error = 0;  // Failed: Windows' error code
};

class Devices {
public:
    virtual ~Devices() = default;
    // The present devices that carry a hardware or compatible ID equal to id, letter case
    // ignored; empty also when the device installer cannot be reached.
    virtual std::vector<Device> FindDevices(const std::string& id) = 0;
    virtual DeviceState GetDeviceState(const std::string& instanceId) = 0;
    // Through the device's class installer, in every hardware profile, so that the state lasts
    // across restarts.
    virtual DeviceChange SetDeviceEnabled(const std::string& instanceId, bool enable) = 0;
};

}  // namespace tunlatch
