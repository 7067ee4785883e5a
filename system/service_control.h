#pragma once
// Service control: one self-contained operation per call over the service control manager.
#include <cstdint>
#include <string>

#include "system/result.h"

namespace tunlatch {

// A service's state as Windows documents it. A query that fails tells which handle could not be
// opened (SystemError::Stage), or carries Windows' code; a state number Windows does not
// document is a failed query too.
enum class ServiceStatus {
    Stopped,
    StartPending,
    StopPending,
    Running,
    ContinuePending,
    PausePending,
    Paused,
};

enum class StartType { Boot, System, Automatic, OnDemand, Disabled };

// Windows' answers to a start or stop request that mean the service is where it was sent.
inline constexpr std::uint32_t kServiceAlreadyRunning = 1056;
inline constexpr std::uint32_t kServiceNotActive = 1062;

class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    virtual Result<ServiceStatus> ServiceGetStatus(const std::string& service) = 0;
    // A request that Windows accepts is under way; the state read back afterwards tells whether
    // it got there.
    virtual Result<> ServiceStart(const std::string& service) = 0;
    virtual Result<> ServiceStop(const std::string& service) = 0;
    virtual Result<> ServiceSetStartType(const std::string& service, StartType startType) = 0;
    virtual Result<StartType> ServiceGetStartType(const std::string& service) = 0;
};

}  // namespace tunlatch
