#pragma once
#include "system/service_control.h"

namespace tunlatch::win32 {

// The service control manager of this computer, opened afresh for every operation and closed
// before it returns.
class Win32ServiceControl final : public ServiceControl {
public:
    ServiceStatus ServiceGetStatus(const std::string& service) override;
    void ServiceStart(const std::string& service) override;
    void ServiceStop(const std::string& service) override;
    void ServiceSetStartType(const std::string& service, StartType startType) override;
    std::optional<StartType> ServiceGetStartType(const std::string& service) override;
};

}  // namespace tunlatch::win32
