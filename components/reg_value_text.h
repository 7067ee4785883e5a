#pragma once
// The text forms of a registry value as the steps log and compare it.
#include <optional>
#include <string>

#include "system/registry.h"

namespace tunlatch {

// A DWORD in decimal, a text or binary data as stored, nothing as the empty text: for values
// read as numbers.
std::string RegValueText(const RegValue& value);

// A text value's text; nothing for a DWORD or binary data, which name no file or folder and are
// no command line.
std::optional<std::string> RegText(const RegValue& value);

}  // namespace tunlatch
