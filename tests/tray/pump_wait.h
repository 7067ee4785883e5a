#pragma once
// Waiting for something the shell or another thread does, with the window messages of this
// thread kept flowing as the program's own pauses do.
#include <windows.h>

#include <chrono>

namespace tunlatch::testing {

template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
}

}  // namespace tunlatch::testing
