#include "components/ui_command.h"

#include <gtest/gtest.h>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using fixture::kUiCommand;
using fixture::kUiPath;

TEST(UiCommandTest, QuotedPathEndsAtItsQuoteUnquotedIsWholeLessTheArgument) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {kUiCommand + " --x", kUiPath, " --auto-start --x"},
        {kUiPath + " --auto-start", kUiPath, " --auto-start"},
        {kUiPath + " --x", kUiPath + " --x", ""},
        {"\"" + kUiPath, kUiPath, ""},
        {"", "", ""}};
    for (const auto& [line, program, arguments] : cases) {
        const UiCommand command = SplitUiCommand(line);
        EXPECT_EQ(command.program, program) << line;
        EXPECT_EQ(command.arguments, arguments) << line;
        EXPECT_EQ(JoinedUiCommand(command), "\"" + program + "\"" + arguments);
    }
}

TEST(UiCommandTest, OnlyDriveAndNetworkPathsAreFull) {
    for (const char* path : {"C:\\x", "c:/x", "\\\\server\\share"}) EXPECT_TRUE(IsFullPath(path));
    for (const char* path : {"", "x", "\\x", "C:x", "C:", "\\\\", "\\\\\\x", "1:\\x"})
        EXPECT_FALSE(IsFullPath(path)) << path;
}

}  // namespace
}  // namespace tunlatch
