#pragma once
// A run made of fakes for the tests of the steps: a 32-bit system with the right devcon.exe
// beside the program, the log at its most detailed level, and an adapter that follows DevCon.
#include <algorithm>
#include <string>
#include <vector>

#include "run/run.h"
#include "tests/fakes/fake_system.h"

namespace tunlatch::fixture {

inline const std::string kProgramDir = "C:\\Tools\\Tunlatch\\";
inline const std::string kLogPath = kProgramDir + "tunlatch.log";
inline const std::string kDevconPath = kProgramDir + "devcon.exe";
inline const std::string kUiPath = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
inline const std::string kUiCommand = "\"" + kUiPath + "\" --auto-start";
// What the fake clock puts before every line.
inline const std::string kStamp = "12/5/2026 07:04:09.031 ";

// DevCon's answers for an adapter that follows its enable and disable commands.
struct DevconAdapter {
    bool enabled = false;
    CaptureResult Answer(const std::string& command) {
        const auto has = [&](const char* verb) { return command.find(verb) != std::string::npos; };
        if (has(" enable ") || has(" disable ")) enabled = has(" enable ");
        const char* state = enabled ? "Driver is running." : "Device is disabled.";
        if (has(" status ")) return "ROOT\\NET\\0000\r\n    " + std::string(state) + "\r\n";
        return enabled ? "ROOT\\NET\\0000: Enabled\r\n" : "ROOT\\NET\\0000: Disabled\r\n";
    }
};

struct StepRun {
    FakeSystem sys;
    RunContext ctx;
    RunLog log{2, sys.clock};
    Run run{ctx, sys.modules, log};
    DevconAdapter adapter;

    StepRun() {
        ctx.ProgramDir = kProgramDir;
        ctx.Title = "Tunlatch V1.2.1";
        ctx.OsInfo.Architecture = "x86";
        ctx.REG_uiexe = kUiCommand;
        sys.files.files[kDevconPath] = std::string(55808, 'M');
        sys.files.files[kUiPath] = "MZ";
        sys.processes.onRun = [this](const auto& command, auto) { return adapter.Answer(command); };
        log.Open(sys.files, kLogPath);
    }
    // The log's lines without their time stamps.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts = sys.files.Lines(kLogPath);
        for (std::string& text : texts)
            if (text.rfind(kStamp, 0) == 0) text.erase(0, kStamp.size());
        return texts;
    }
    bool Logged(const std::string& text) const {
        const std::vector<std::string> texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    const std::vector<std::string>& Journal() const { return sys.journal.events; }
};

}  // namespace tunlatch::fixture
