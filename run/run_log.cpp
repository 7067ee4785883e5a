#include "run/run_log.h"

#include <cstdio>
#include <limits>

namespace tunlatch {

std::string GetTimeStamp(Clock& clock) {
    const TimeOfDay t = clock.LocalTime();
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second}, unsigned{t.milliseconds});
    return text;
}

void RunLog::Open(FileSystem& files, const std::string& path) {
    if (level_ > 0) file_ = files.OpenForAppend(path);
}

void RunLog::Separator() {
    Write(std::string(), false);
}

void RunLog::Main(const std::string& text) {
    Write(Stamped(text), false);
}

void RunLog::Detail(const std::string& text) {
    Write(Stamped("-" + text), true);
}

void RunLog::Error(const std::string& text) {
    if (errorCount_ < std::numeric_limits<std::int16_t>::max()) ++errorCount_;
    Main("ERROR: " + text);
}

std::string RunLog::Stamped(const std::string& text) {
    return clock_.ShortDate() + " " + GetTimeStamp(clock_) + " " + text;
}

void RunLog::Write(const std::string& line, bool detail) {
    const bool wanted = level_ == 2 || (level_ == 1 && !detail);
    if (wanted && file_) file_->AppendLine(line);
}

}  // namespace tunlatch
