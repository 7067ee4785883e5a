#include "system/service_control.h"

namespace tunlatch {

std::string ServiceStatusText(std::uint32_t currentState) {
    static constexpr const char* kTexts[] = {"Stopped", "Start Pending",    "Stop Pending",
                                             "Running", "Continue Pending", "Pause Pending",
                                             "Paused"};
    if (currentState < 1 || currentState > 7) return {};
    return kTexts[currentState - 1];
}

}  // namespace tunlatch
