#pragma once
// Clock and date: the local time of day and today's short date as the user's regional settings
// write it.
#include <cstdint>
#include <string>

namespace tunlatch {

struct TimeOfDay {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay LocalTime() = 0;
    virtual std::string ShortDate() = 0;
};

}  // namespace tunlatch
