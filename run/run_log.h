#pragma once
// The run log: timestamped lines appended to tunlatch.log, filtered by the log level. Lines come
// in three kinds, each written by its own call: main lines, detail lines ("-" before the text)
// and error lines ("ERROR: " before the text), which are counted whether written or not. Every
// line is written as one line: line breaks and other control bytes are shown, never written.
#include <cstdint>
#include <memory>
#include <string>

#include "system/clock.h"
#include "system/files.h"

namespace tunlatch {

// hh:mm:ss.mmm of the local time.
std::string GetTimeStamp(Clock& clock);

class RunLog {
public:
    // level: 0 nothing, 1 main and error lines, 2 every line, 3 and above no line at all.
    RunLog(std::int16_t level, Clock& clock) : level_(level), clock_(clock) {}
    // Opens the log for appending when the level asks for a file; a file that cannot be opened
    // leaves the run without a log.
    void Open(FileSystem& files, const std::string& path);
    void Close() { file_.reset(); }

    // The empty line that sets a run apart from the one before.
    void Separator();
    void Main(const std::string& text);
    void Detail(const std::string& text);
    void Error(const std::string& text);

    std::int16_t ErrorCount() const { return errorCount_; }

private:
    std::string Stamped(const std::string& text);
    void Write(const std::string& line, bool detail);

    std::int16_t level_;
    Clock& clock_;
    std::int16_t errorCount_ = 0;
    std::unique_ptr<AppendFile> file_;
};

}  // namespace tunlatch
