#pragma once
#include "system/service_control.h"

namespace tunlatch::win32 {

// The service control manager, opened afresh for every operation and closed before it returns.
class Win32ServiceControl final : public ServiceControl {
public:
    std::string ServiceGetStatus(const std::string& machine, const std::string& service) override;
    void ServiceStart(const std::string& machine, const std::string& service) override;
    void ServiceStop(const std::string& machine, const std::string& service) override;
    void ServiceSetStartType(const std::string& machine, const std::string& service,
                             std::int32_t startType) override;
    std::int32_t ServiceGetStartType(const std::string& machine,
                                     const std::string& service) override;
};

}  // namespace tunlatch::win32
