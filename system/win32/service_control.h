#pragma once
#include "system/service_control.h"

namespace tunlatch::win32 {

// The service control manager of this computer, opened afresh for every operation and closed
// before it returns. A failure carries GetLastError's code of the call that failed.
class Win32ServiceControl final : public ServiceControl {
public:
    Result<ServiceStatus> ServiceGetStatus(const std::string& service) override;
    Result<> ServiceStart(const std::string& service) override;
    Result<> ServiceStop(const std::string& service) override;
    Result<> ServiceSetStartType(const std::string& service, StartType startType) override;
    Result<StartType> ServiceGetStartType(const std::string& service) override;
};

}  // namespace tunlatch::win32
