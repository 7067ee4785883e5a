#pragma once
// Service control (modServices): one self-contained operation per call over the service
// control manager; failures show only in the results.
#include <cstdint>
#include <string>

namespace tunlatch {

// Result texts of ServiceGetStatus; the switching steps compare them letter for letter.
inline constexpr const char* kOpenScManagerFail = "OpenSCManager fail!";
inline constexpr const char* kOpenServiceFail = "OpenService fail!";

class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    virtual std::string ServiceGetStatus(const std::string& machine,
                                         const std::string& service) = 0;
    virtual void ServiceStart(const std::string& machine, const std::string& service) = 0;
    virtual void ServiceStop(const std::string& machine, const std::string& service) = 0;
    virtual void ServiceSetStartType(const std::string& machine, const std::string& service,
                                     std::int32_t startType) = 0;
    // The configured start type, or 0 when the service or its configuration cannot be read.
    virtual std::int32_t ServiceGetStartType(const std::string& machine,
                                             const std::string& service) = 0;
};

// The text for a SERVICE_STATUS dwCurrentState value: "Stopped" ... "Paused", empty otherwise.
std::string ServiceStatusText(std::uint32_t currentState);

}  // namespace tunlatch
