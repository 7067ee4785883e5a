#include <gtest/gtest.h>

#include "system/service_control.h"

namespace tunlatch {
namespace {

TEST(ServiceStatusText, MapsEachKnownStateAndNothingElse) {
    const std::pair<std::uint32_t, const char*> table[] = {
        {0, ""},        {1, "Stopped"},          {2, "Start Pending"}, {3, "Stop Pending"},
        {4, "Running"}, {5, "Continue Pending"}, {6, "Pause Pending"}, {7, "Paused"},
        {8, ""},        {0xFFFFFFFFu, ""}};
    for (const auto& [state, text] : table) EXPECT_EQ(ServiceStatusText(state), text) << state;
}

}  // namespace
}  // namespace tunlatch
