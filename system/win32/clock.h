#pragma once
#include "system/clock.h"

namespace tunlatch::win32 {

class Win32Clock final : public Clock {
public:
    TimeOfDay LocalTime() override;
    // The user's short date format, as the regional settings write it.
    std::string ShortDate() override;
};

}  // namespace tunlatch::win32
