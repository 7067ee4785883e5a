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

namespace {

// The text as one line of the log, whatever it holds: a line break (CR LF, or a lone CR or LF)
// becomes "~", any other control byte its caret form ("^@" for NUL, "^A" for 0x01 ... "^_" for
// 0x1F, "^?" for DEL). No text from DevCon, the registry or the settings can end a line early
// and write one that looks like the program's own.
std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\r' || c == '\n') {
            line += '~';
            if (c == '\r' && text.compare(at + 1, 1, "\n") == 0) ++at;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            line += '^';
            line += static_cast<char>(c ^ 0x40);
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

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
    if (wanted && file_) file_->AppendLine(OneLine(line));
}

}  // namespace tunlatch
