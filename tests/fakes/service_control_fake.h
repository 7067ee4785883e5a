#pragma once
#include <deque>
#include <string>

#include "system/service_control.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

// A service whose answers are scripted: statusScript is consumed one answer per status query
// (the last answer repeats); without a script the status follows start and stop at once.
class FakeServiceControl final : public ServiceControl, public Journaled {
public:
    ServiceStatus status = ServiceStatus::Stopped;
    std::deque<ServiceStatus> statusScript;
    std::optional<StartType> startType = StartType::OnDemand;
    bool startTypeChangeWorks = true;
    std::int32_t statusQueries = 0;
    std::string lastService;

    ServiceStatus ServiceGetStatus(const std::string& service) override {
        lastService = service;
        ++statusQueries;
        if (!statusScript.empty()) {
            status = statusScript.front();
            if (statusScript.size() > 1) statusScript.pop_front();
        }
        return status;
    }
    void ServiceStart(const std::string&) override {
        Note("ServiceStart");
        if (statusScript.empty()) status = ServiceStatus::Running;
    }
    void ServiceStop(const std::string&) override {
        Note("ServiceStop");
        if (statusScript.empty()) status = ServiceStatus::Stopped;
    }
    void ServiceSetStartType(const std::string&, StartType type) override {
        Note("ServiceSetStartType " + std::to_string(static_cast<int>(type)));
        if (startTypeChangeWorks) startType = type;
    }
    std::optional<StartType> ServiceGetStartType(const std::string&) override { return startType; }
};

}  // namespace tunlatch
