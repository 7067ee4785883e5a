#pragma once
// The settings of tunlatch.ini: where they live, how their texts turn into values, and reading
// them all into the run context.
#include <cstdint>
#include <optional>
#include <string>

#include "run/program_files.h"
#include "run/run_context.h"
#include "system/settings_file.h"

namespace tunlatch {

inline constexpr const char* kMiscSection = "misc";

// A Boolean setting: a decimal number (non-zero is true) or True/False in any letter case;
// nothing for any other text.
std::optional<bool> SettingBoolean(const std::string& text);

// The log level: a whole decimal number from -32768 to 32767; nothing for any other text.
std::optional<std::int16_t> SettingLogLevel(const std::string& text);

// Reads tray_icon, balloon_tips, on_demand, force_uiexe, log and uiexe, in that order, from the
// settings file at path. A missing key, or a value that is empty or does not fit its type,
// gives the key's default.
void ReadSettings(SettingsFile& settings, const std::string& path, RunContext& context);

}  // namespace tunlatch
