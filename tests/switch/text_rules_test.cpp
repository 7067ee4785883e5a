// The rules by which start-up reads texts from the settings file and the registry, as the rows of
// text_rules.txt give them.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>

#include "components/ui_command.h"
#include "switch/settings.h"
#include "switch/startup_rules.h"

namespace tunlatch {
namespace {

// Each rule's answer as a number, true and false as 1 and 0.
using Rule = std::function<std::optional<int>(const std::string&)>;

TEST(TextRulesTest, AnswerEveryRowOfTheTable) {
    const std::map<std::string, Rule> rules = {{"boolean", SettingBoolean},
                                               {"log-level", SettingLogLevel},
                                               {"uac", UacActiveFromText},
                                               {"full-path", IsFullPath}};
    std::ifstream table(std::string(TUNLATCH_TESTS_DIR) + "/switch/text_rules.txt");
    int rows = 0;
    for (std::string line; std::getline(table, line); ++rows) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string rule, text, answer;
        // No row holds a line break, so nothing in the quotes is taken for an escape.
        row >> rule >> std::quoted(text, '"', '\n') >> answer;
        const std::optional<int> given = rules.at(rule)(text);
        EXPECT_EQ(given ? std::to_string(*given) : "-", answer) << line;
    }
    EXPECT_GT(rows, 70);
}

}  // namespace
}  // namespace tunlatch
