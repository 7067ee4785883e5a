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
    std::string status = "Stopped";
    std::deque<std::string> statusScript;
    std::int32_t startType = 3;
    bool startTypeChangeWorks = true;
    std::int32_t statusQueries = 0;

    std::string ServiceGetStatus(const std::string&, const std::string& service) override {
        lastService = service;
        ++statusQueries;
        if (!statusScript.empty()) {
            status = statusScript.front();
            if (statusScript.size() > 1) statusScript.pop_front();
        }
        return status;
    }
    void ServiceStart(const std::string&, const std::string&) override {
        Note("ServiceStart");
        if (statusScript.empty()) status = "Running";
    }
    void ServiceStop(const std::string&, const std::string&) override {
        Note("ServiceStop");
        if (statusScript.empty()) status = "Stopped";
    }
    void ServiceSetStartType(const std::string&, const std::string&, std::int32_t type) override {
        Note("ServiceSetStartType " + std::to_string(type));
        if (startTypeChangeWorks) startType = type;
    }
    std::int32_t ServiceGetStartType(const std::string&, const std::string&) override {
        return startType;
    }

    std::string lastService;
};

}  // namespace tunlatch
