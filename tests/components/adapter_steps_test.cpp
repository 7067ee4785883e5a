#include "components/adapter_steps.h"

#include <gtest/gtest.h>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
using fixture::StepRun;

TEST(AdapterStatusTest, ClassifiesTheToolsOutput) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\n    Driver is running.\r\nb", "ENABLED"},
        {"a\r\n    Device is disabled.\r\n", "DISABLED"},
        {"Device is disabled. Driver is running.", "DISABLED"},
        {"driver is running", "UNKNOWN: driver is running"},
        {"No matching devices found.\r\na\nb\r", "UNKNOWN: No matching devices found.~a\nb\r"}};
    for (const auto& [output, status] : cases) {
        StepRun t;
        t.sys.processes.onRun = [output](auto&&...) { return CaptureResult(output); };
        EXPECT_EQ(AdapterStatusText(GetNetworkAdapterStatus(t.run, "hamachi")), status);
        EXPECT_EQ(t.Journal(),
                  Lines{"RunCaptured \"C:\\Tools\\Tunlatch\\devcon.exe\" status \"hamachi\""});
    }
}

}  // namespace
}  // namespace tunlatch
