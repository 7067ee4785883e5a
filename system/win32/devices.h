#pragma once
#include "system/devices.h"

namespace tunlatch::win32 {

// SetupAPI and the Configuration Manager, loaded from the system folder for each call and
// released after it (setupapi.dll and cfgmgr32.dll are not imported: most runs never need them).
class Win32Devices final : public Devices {
public:
    Result<std::vector<Device>> FindDevices(const std::string& id) override;
    Result<DeviceState> GetDeviceState(const std::string& instanceId) override;
    Result<DeviceChange> SetDeviceEnabled(const std::string& instanceId, bool enable) override;
};

}  // namespace tunlatch::win32
