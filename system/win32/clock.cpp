#include "system/win32/clock.h"

#include <windows.h>

#include <vector>

namespace tunlatch::win32 {

namespace {}  // namespace

TimeOfDay Win32Clock::LocalTime() {
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    return {time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

std::string Win32Clock::ShortDate() {
    const int size =
        ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0);
    if (size <= 0) return {};
    std::vector<char> text(size);
    if (::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text.data(),
                         size) <= 0)
        return {};
    return text.data();
}

}  // namespace tunlatch::win32
