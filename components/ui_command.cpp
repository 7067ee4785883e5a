#include "components/ui_command.h"

#include <string_view>

#include "components/outside_components.h"
#include "components/quoted.h"

namespace tunlatch {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

UiCommand SplitUiCommand(const std::string& commandLine) {
    if (commandLine.starts_with('"')) {
        const std::size_t close = commandLine.find('"', 1);
        if (close == std::string::npos) return {commandLine.substr(1), {}};
        return {commandLine.substr(1, close - 1), commandLine.substr(close + 1)};
    }
    const std::string_view argument = outside::kUiExeArgument;
    if (!commandLine.ends_with(argument)) return {commandLine, {}};
    return {commandLine.substr(0, commandLine.size() - argument.size()), std::string(argument)};
}

std::string JoinedUiCommand(const UiCommand& command) {
    return Quoted(command.program) + command.arguments;
}

bool IsFullPath(const std::string& path) {
    if (path.size() < 3) return false;
    if (IsDriveLetter(path[0]) && path[1] == ':') return IsSeparator(path[2]);
    return IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace tunlatch
