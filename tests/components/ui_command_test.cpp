#include "components/ui_command.h"

#include <gtest/gtest.h>

namespace tunlatch {
namespace {

TEST(UiCommandTest, QuotedPathEndsAtItsQuoteUnquotedIsWholeLessTheArgument) {
    const std::string path = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"\"" + path + "\" --auto-start --x", path, " --auto-start --x"},
        {path + " --auto-start", path, " --auto-start"},
        {path + " --x", path + " --x", ""},
        {"\"" + path, path, ""},
        {"\"\" --x", "", " --x"},
        {"", "", ""}};
    for (const auto& [line, program, arguments] : cases) {
        const UiCommand command = SplitUiCommand(line);
        EXPECT_EQ(command.program, program) << line;
        EXPECT_EQ(command.arguments, arguments) << line;
        EXPECT_EQ(JoinedUiCommand(command), "\"" + program + "\"" + arguments);
    }
}

TEST(UiCommandTest, OnlyDriveAndNetworkPathsAreFull) {
    for (const char* path : {"C:\\x", "c:/x", "A:\\", "Z:\\", "a:\\", "z:\\", "\\\\server\\share"})
        EXPECT_TRUE(IsFullPath(path)) << path;
    for (const char* path : {"", "x", "\\x", "C:x", "C:", "\\\\", "\\\\\\x", "1:\\x", "x\\y"})
        EXPECT_FALSE(IsFullPath(path)) << path;
}

}  // namespace
}  // namespace tunlatch
