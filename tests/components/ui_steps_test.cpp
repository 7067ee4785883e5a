#include "components/ui_steps.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

TEST(UiExeFileExistsTest, StripsTheArgumentAndTheQuotesOnly) {
    const std::string path = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
    const std::pair<std::string, std::string> cases[] = {
        {"\"" + path + "\" --auto-start", path},
        {path, path},
        {"\"" + path + "\" --AUTO-START", path + " --AUTO-START"},
        {"", ""}};
    for (const auto& [command, found] : cases) {
        FakeFileSystem files;
        files.files[path] = "MZ";
        std::string checked = "old";
        EXPECT_EQ(UiExeFileExists(files, command, checked), found == path) << command;
        EXPECT_EQ(checked, found);
    }
}

}  // namespace
}  // namespace tunlatch
