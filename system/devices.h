#pragma once
// Devices through Windows' own device installer, as Device Console (devcon.exe) reaches them:
// find them by hardware or compatible ID, read their state, enable or disable them for good.
#include <cstdint>
#include <string>
#include <vector>

#include "system/result.h"

namespace tunlatch {

struct Device {
    std::string instanceId;  // for example "ROOT\NET\0000"
    std::string name;        // the friendly name, else the description; may be empty
};

// A device's state as the Configuration Manager reports it.
struct DeviceState {
    enum class Kind { Running, Disabled, Stopped, Problem };
    Kind kind = Kind::Stopped;
    std::uint32_t problem = 0;  // Problem: the problem number
};

// How a change that the class installer took ends: at once, or at the next restart.
enum class DeviceChange { Done, NeedsRestart };

class Devices {
public:
    virtual ~Devices() = default;
    // The present devices that carry a hardware or compatible ID equal to id, letter case
    // ignored.
    virtual Result<std::vector<Device>> FindDevices(const std::string& id) = 0;
    // A failure carries the Configuration Manager's code (or SetupAPI's, when the device could
    // not be opened).
    virtual Result<DeviceState> GetDeviceState(const std::string& instanceId) = 0;
    // Through the device's class installer, so that the state lasts across restarts; the
    // verdict is the change in the current hardware profile.
    virtual Result<DeviceChange> SetDeviceEnabled(const std::string& instanceId, bool enable) = 0;
};

}  // namespace tunlatch
