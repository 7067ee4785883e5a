#pragma once
#include <string>

namespace tunlatch {

// The text in double quotes, as the steps name things in their log lines and command lines.
inline std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

}  // namespace tunlatch
