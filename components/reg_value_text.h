#pragma once
// The text form of a registry value as the steps log and compare it: a DWORD in decimal, a text
// or binary data as stored, nothing as the empty text.
#include <string>

#include "system/registry.h"

namespace tunlatch {

std::string RegValueText(const RegValue& value);

}  // namespace tunlatch
