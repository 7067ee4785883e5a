#include "switch/startup_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "components/outside_components.h"
#include "components/quoted.h"
#include "components/ui_command.h"
#include "run/devcon_check.h"
#include "run/program_files.h"
#include "switch/number_text.h"

namespace tunlatch {
namespace {

// Rounds to the nearest whole number, ties to the even one, without relying on the floating
// point environment's rounding mode.
double RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// The longest name of a file that the program keeps beside itself: DevCon's staged copy
// "devcon.exe.new" and its licence.
constexpr std::size_t kLongestFileName =
    std::max({std::string_view(kLogFileName).size(), std::string_view(kSettingsFileName).size(),
              std::string_view(kZipLibraryName).size(), std::string_view(kDevconLicenceName).size(),
              std::string_view(outside::kDevconExe).size() + std::string_view(".new").size()});

// MAX_PATH less its NUL.
constexpr std::size_t kLongestAnsiPath = 259;

}  // namespace

bool ReachableByAnsiCalls(const std::string& programDir) {
    return programDir.size() + kLongestFileName <= kLongestAnsiPath;
}

std::optional<Request> RequestFromArguments(const std::string& arguments) {
    const std::size_t first = arguments.find_first_not_of(" \t");
    if (first == std::string::npos) return Request::Toggle;
    std::string word = arguments.substr(first, arguments.find_last_not_of(" \t") + 1 - first);
    if (word.starts_with('/') || word.starts_with('-')) word.erase(0, 1);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (word == "on") return Request::On;
    if (word == "off") return Request::Off;
    return std::nullopt;
}

std::string VersionText(const VersionNumbers& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::optional<std::string> WorkFolderIn(const std::optional<std::string>& tempFolder) {
    if (!tempFolder) return std::nullopt;
    std::string folder = *tempFolder;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    // A drive's or a share's root is no place for a folder that is emptied and removed.
    const bool shareRoot =
        folder.starts_with("\\\\") && std::count(folder.begin() + 2, folder.end(), '\\') < 2;
    if (!IsFullPath(folder) || shareRoot) return std::nullopt;
    return folder + "\\tunlatch.tmp";
}

std::string UiCommandFromInstallDir(const std::optional<std::string>& folderText) {
    if (!folderText) return {};
    std::string folder;
    for (const char c : *folderText)
        if (c != '"') folder += c;
    if (!IsFullPath(folder)) return {};
    if (folder.back() != '\\') folder += '\\';
    return Quoted(folder + outside::kUiExeName) + outside::kUiExeArgument;
}

bool UacActiveFromText(const std::string& text) {
    // Blanks inside the text do not end the number, as with a leading-number reading.
    std::string packed;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') packed += c;
    const std::size_t length = NumberPrefixLength(packed);
    if (length == 0) return false;
    const double value = NumberValue(std::string_view(packed).substr(0, length));
    // Beyond 2^53 every double is an even whole number, and an overflow has no lowest bit.
    if (!std::isfinite(value)) return false;
    return std::fmod(RoundHalfToEven(value), 2.0) != 0.0;
}

}  // namespace tunlatch
