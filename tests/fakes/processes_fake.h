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
    std::function<std::string(const std::string&)> onRun = [](const std::string&) { return ""; };
    std::vector<std::string> commands;
    std::vector<std::int32_t> waits;
    std::set<std::int32_t> activeProcesses;
    std::vector<std::pair<std::string, std::int32_t>> opened;
    std::vector<std::pair<std::string, std::int32_t>> launched;
    LaunchResult launchResult{true, 4242, 0};

    std::string RunCaptured(const std::string& commandLine, bool) override {
        commands.push_back(commandLine);
        Note("RunCaptured " + commandLine);
        return onRun(commandLine);
    }
    void WaitMs(std::int32_t ms) override {
        waits.push_back(ms);
        Note("WaitMs " + std::to_string(ms));
    }
    bool IsProcessActive(std::int32_t id) override { return activeProcesses.count(id) > 0; }
    void ShellOpen(const std::string& target, std::int32_t show) override {
        opened.emplace_back(target, show);
        Note("ShellOpen " + target);
    }
    LaunchResult LaunchDetached(const std::string& commandLine, std::int32_t show) override {
        launched.emplace_back(commandLine, show);
        Note("Launch " + commandLine);
        return launchResult;
    }
};

}  // namespace tunlatch
