#pragma once
// A run made of fakes for the tests of single steps: the log at its most detailed level in the
// fake file system, a right x86 devcon.exe beside the program, and helpers to compare whole
// log lines.
#include <initializer_list>
#include <string>
#include <vector>

#include "run/run.h"
#include "tests/fakes/fake_system.h"

namespace tunlatch::fixture {

inline constexpr const char* kProgramDir = "C:\\Tools\\Tunlatch\\";
inline constexpr const char* kLogPath = "C:\\Tools\\Tunlatch\\tunlatch.log";
inline constexpr const char* kDevconPath = "C:\\Tools\\Tunlatch\\devcon.exe";
inline constexpr const char* kTitle = "Tunlatch V1.2.1";
// What the fake clock puts before every non-empty line.
inline constexpr const char* kPrefix = "12/5/2026 07:04:09.031 ";

// The log lines expected for these texts: each non-empty text with the clock's prefix.
inline std::vector<std::string> Stamped(std::initializer_list<std::string> texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts) lines.push_back(text.empty() ? text : kPrefix + text);
    return lines;
}

// devcon.exe's answers for an adapter that follows its enable and disable commands.
struct DevconAdapter {
    bool enabled = false;

    CaptureResult Answer(const std::string& command) {
        if (command.find(" enable ") != std::string::npos) enabled = true;
        if (command.find(" disable ") != std::string::npos) enabled = false;
        if (command.find(" status ") != std::string::npos)
            return enabled ? "ROOT\\NET\\0000\r\n    Driver is running.\r\n"
                           : "ROOT\\NET\\0000\r\n    Device is disabled.\r\n";
        return enabled ? "ROOT\\NET\\0000: Enabled\r\n" : "ROOT\\NET\\0000: Disabled\r\n";
    }
};

// The context of a step run: the run's title, the program folder, an x86 system. Tests change
// it before the steps run.
inline RunContext StepContext(const OsInformation& os) {
    RunContext ctx;
    ctx.ProgramDir = kProgramDir;
    ctx.Title = kTitle;
    ctx.INI_log = 2;
    ctx.OsInfo = os;
    ctx.OsInfo.Architecture = "x86";
    return ctx;
}

struct StepRun {
    FakeSystem sys;
    RunContext ctx = StepContext(sys.os.info);
    RunLog log{2, sys.clock};
    Run run{ctx, sys.modules, log};

    StepRun() {
        sys.files.files[kDevconPath] = std::string(55808, 'M');
        log.Open(sys.files, kLogPath);
    }

    std::vector<std::string> Logged() const { return sys.files.Lines(kLogPath); }
    // The lines without the clock's prefix, for tests that look at a few of them.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (std::string line : Logged())
            texts.push_back(line.rfind(kPrefix, 0) == 0 ? line.substr(std::string(kPrefix).size())
                                                        : line);
        return texts;
    }
};

}  // namespace tunlatch::fixture
