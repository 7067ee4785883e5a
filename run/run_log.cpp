#include "run/run_log.h"

#include <cstdio>
#include <limits>

namespace tunlatch {

std::string GetTimeStamp(Clock& clock, bool local) {
    const TimeOfDay t = local ? clock.LocalTime() : clock.SystemTime();
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second}, unsigned{t.milliseconds});
    return text;
}

void RunLog::Open(FileSystem& files, const std::string& path) {
    if (context_.INI_log > 0) file_ = files.OpenForAppend(path);
}

void RunLog::WriteLog(const std::string& text) {
    const std::string line =
        text.empty() ? std::string()
                     : clock_.ShortDate() + " " + GetTimeStamp(clock_, true) + " " + text;
    if (text.rfind("ERROR:", 0) == 0 &&
        context_.ErrorCount < std::numeric_limits<std::int16_t>::max())
        ++context_.ErrorCount;
    const bool detail = !text.empty() && text.front() == '-';
    const bool wanted = context_.INI_log == 2 || (context_.INI_log == 1 && !detail);
    if (wanted && file_) file_->AppendLine(line);
}

}  // namespace tunlatch
