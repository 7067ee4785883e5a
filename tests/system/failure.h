#pragma once
// A result's failure for comparing in one expectation, and SystemError in readable form when an
// expectation fails.
#include <optional>
#include <ostream>

#include "system/result.h"

namespace tunlatch {

inline void PrintTo(const SystemError& error, std::ostream* out) {
    *out << "{code " << error.code << " (0x" << std::hex << error.code << std::dec << "), family "
         << static_cast<int>(error.family) << ", stage " << static_cast<int>(error.stage) << "}";
}

namespace test {

// None when the call succeeded.
template <typename T, typename E>
std::optional<E> Failure(const Result<T, E>& result) {
    if (result) return std::nullopt;
    return result.error();
}

}  // namespace test
}  // namespace tunlatch
