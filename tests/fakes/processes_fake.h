#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "system/processes.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

class FakeProcesses final : public Processes, public Journaled {
public:
    // Answers RunCaptured; records every command line.
    std::function<CaptureResult(const std::string&)> onRun = [](const std::string&) {
        return CaptureResult(std::string());
    };
    std::vector<std::string> commands;
    std::vector<std::int32_t> waits;
    std::set<std::uint32_t> activeProcesses;
    std::vector<std::string> opened;
    std::vector<std::string> launched;
    LaunchResult launchResult{true, 4242, 0};

    CaptureResult RunCaptured(const std::string& commandLine) override {
        commands.push_back(commandLine);
        Note("RunCaptured " + commandLine);
        return onRun(commandLine);
    }
    void WaitMs(std::int32_t ms) override {
        waits.push_back(ms);
        Note("WaitMs " + std::to_string(ms));
    }
    bool IsProcessActive(std::uint32_t id) override { return activeProcesses.count(id) > 0; }
    void ShellOpen(const std::string& target) override {
        opened.push_back(target);
        Note("ShellOpen " + target);
    }
    LaunchResult LaunchDetached(const std::string& commandLine) override {
        launched.push_back(commandLine);
        Note("Launch " + commandLine);
        return launchResult;
    }
};

}  // namespace tunlatch
