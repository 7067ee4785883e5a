#pragma once
// The run log (WriteLog): timestamped lines appended to tunlatch.log, filtered by the log level,
// with every "ERROR:" text counted whether it is written or not.
#include <memory>
#include <string>

#include "run/run_context.h"
#include "system/clock.h"
#include "system/files.h"

namespace tunlatch {

// hh:mm:ss.mmm of the local time (local true) or of UTC.
std::string GetTimeStamp(Clock& clock, bool local);

class RunLog {
public:
    RunLog(RunContext& context, Clock& clock) : context_(context), clock_(clock) {}
    // Opens the log for appending when the log level asks for a file; a file that cannot be
    // opened leaves the run without a log.
    void Open(FileSystem& files, const std::string& path);
    void WriteLog(const std::string& text);
    void Close() { file_.reset(); }

private:
    RunContext& context_;
    Clock& clock_;
    std::unique_ptr<AppendFile> file_;
};

}  // namespace tunlatch
