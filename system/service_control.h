#pragma once
// Service control: one self-contained operation per call over the service control manager.
#include <optional>
#include <string>

namespace tunlatch {

// A service's state, or why it could not be read (Unknown: the query failed or named a state
// that Windows does not document).
enum class ServiceStatus {
    Stopped,
    StartPending,
    StopPending,
    Running,
    ContinuePending,
    PausePending,
    Paused,
    Unknown,
    ManagerNotOpened,
    ServiceNotOpened,
};

enum class StartType { Boot, System, Automatic, OnDemand, Disabled };

class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    virtual ServiceStatus ServiceGetStatus(const std::string& service) = 0;
    // The requests below are fire and forget: whether they took effect shows in the state read
    // back afterwards, which is the verdict the switching steps go by.
    virtual void ServiceStart(const std::string& service) = 0;
    virtual void ServiceStop(const std::string& service) = 0;
    virtual void ServiceSetStartType(const std::string& service, StartType startType) = 0;
    // The configured start type; nullopt when the service or its configuration cannot be read.
    virtual std::optional<StartType> ServiceGetStartType(const std::string& service) = 0;
};

}  // namespace tunlatch
