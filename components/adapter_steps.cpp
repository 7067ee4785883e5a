#include "components/adapter_steps.h"

#include "components/outside_components.h"
#include "components/quoted.h"
#include "run/devcon_check.h"

namespace tunlatch {
namespace {

// Runs devcon.exe from the program folder, never from the search path, and hands back its
// output as one log line: every CR LF becomes "~".
std::string RunDevcon(Run& run, const std::string& verb, const std::string& match) {
    const std::string command =
        Quoted(run.ctx.ProgramDir + outside::kDevconExe) + " " + verb + " " + Quoted(match);
    const std::string output = run.sys.processes.RunCaptured(command, true);
    std::string line;
    line.reserve(output.size());
    for (std::size_t at = 0; at < output.size(); ++at) {
        if (output.compare(at, 2, "\r\n") == 0) {
            line += '~';
            ++at;
        } else {
            line += output[at];
        }
    }
    return line;
}

bool Contains(const std::string& text, const char* phrase) {
    return text.find(phrase) != std::string::npos;
}

}  // namespace

std::string GetNetworkAdapterStatus(Run& run, const std::string& match) {
    const std::string output = RunDevcon(run, "status", match);
    std::string result = "UNKNOWN: " + output;
    if (Contains(output, outside::kDevconStatusEnabled)) result = "ENABLED";
    // A disabled device wins when both phrases occur.
    if (Contains(output, outside::kDevconStatusDisabled)) result = "DISABLED";
    return result;
}

void SwitchNetworkAdapter(Run& run, bool enable) {
    const std::string match = outside::kAdapterMatch;
    const std::string action = enable ? "Enable" : "Disable";
    const std::string target = enable ? "ENABLED" : "DISABLED";

    run.WriteLog(action + " network adapter " + Quoted(match) + ": begin");
    const DevconCheck devcon = CheckDevcon(run.ctx, run.sys.files);
    if (devcon == DevconCheck::Missing) {
        run.WriteLog("ERROR: devcon.exe not found!");
    } else if (devcon != DevconCheck::Right) {
        run.WriteLog("ERROR: devcon.exe hasn't the correct version!");
    } else if (const std::string before = GetNetworkAdapterStatus(run, match);
               before != "ENABLED" && before != "DISABLED") {
        run.WriteLog("ERROR: " + before);
    } else if (before == target) {
        run.WriteLog("-status correct, skip...");
    } else {
        run.WriteLog("-status before: " + before);
        const std::string output = RunDevcon(run, enable ? "enable" : "disable", match);
        run.WriteLog("-devcon.exe done");
        run.WriteLog("-status now: " + GetNetworkAdapterStatus(run, match));
        // The tool's own answer is the verdict; the second status is only reported.
        const char* success = enable ? outside::kDevconEnabled : outside::kDevconDisabled;
        if (!Contains(output, success))
            run.WriteLog(enable ? "ERROR: activation fail!" : "ERROR: deactivation fail!");
        run.WriteLog("-devcon.exe output: " + output);
    }
    run.WriteLog(action + " network adapter: end");
}

}  // namespace tunlatch
