#include "switch/settings.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "switch/number_text.h"

namespace tunlatch {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Read(SettingsFile& settings, const std::string& path, const char* section,
                 const char* key, const char* defaultText) {
    return settings.ReadINI(path, section, key, defaultText);
}

bool ReadBoolean(SettingsFile& settings, const std::string& path, const char* key,
                 const char* defaultText) {
    const std::optional<bool> value =
        SettingBoolean(Read(settings, path, kMiscSection, key, defaultText));
    return value.value_or(*SettingBoolean(defaultText));
}

}  // namespace

std::optional<bool> SettingBoolean(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    const std::string lower = Lower(trimmed);
    if (lower == "true") return true;
    if (lower == "false") return false;
    if (trimmed.empty() || NumberPrefixLength(trimmed) != trimmed.size()) return std::nullopt;
    return NumberValue(trimmed) != 0.0;
}

std::optional<std::int16_t> SettingLogLevel(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    std::size_t at = 0;
    const bool negative = !trimmed.empty() && trimmed[0] == '-';
    if (!trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+')) ++at;
    if (at == trimmed.size()) return std::nullopt;
    long value = 0;
    for (; at < trimmed.size(); ++at) {
        const char c = trimmed[at];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 32768) return std::nullopt;  // no overflow for any length of digits
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

void ReadSettings(SettingsFile& settings, const std::string& path, RunContext& context) {
    context.INI_tray_icon = ReadBoolean(settings, path, "tray_icon", "1");
    context.INI_balloon_tips = ReadBoolean(settings, path, "balloon_tips", "0");
    context.INI_on_demand = ReadBoolean(settings, path, "on_demand", "0");
    context.INI_force_uiexe = ReadBoolean(settings, path, "force_uiexe", "0");
    context.INI_log = SettingLogLevel(Read(settings, path, kMiscSection, "log", "0")).value_or(0);
    context.INI_uiexe = Read(settings, path, kUiExeSection, kUiExeKey, "");
}

}  // namespace tunlatch
