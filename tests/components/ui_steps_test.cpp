#include "components/ui_steps.h"

#include <gtest/gtest.h>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
using fixture::kUiCommand;
using fixture::kUiPath;
using fixture::StepRun;

TEST(UiExeFileExistsTest, StripsTheArgumentAndTheQuotesOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {kUiCommand + " --auto-start", kUiPath},
        {kUiPath, kUiPath},
        {"\"" + kUiPath + "\" --AUTO-START", kUiPath + " --AUTO-START"},
        {"", ""}};
    for (const auto& [command, path] : cases) {
        StepRun t;
        std::string found = "old";
        EXPECT_EQ(UiExeFileExists(t.sys.files, command, found), path == kUiPath) << command;
        EXPECT_EQ(found, path);
    }
}

}  // namespace
}  // namespace tunlatch
