#pragma once
// Decimal numbers inside texts, read the same way whatever the user's regional settings say:
// an optional sign, digits with an optional "." fraction, an optional exponent.
#include <cstddef>
#include <string>
#include <string_view>

namespace tunlatch {

// How many leading characters of text form such a number; 0 when it does not begin with one.
std::size_t NumberPrefixLength(std::string_view text);

// The value of a text that NumberPrefixLength accepts whole; too large a magnitude gives an
// infinite value.
double NumberValue(std::string_view number);

// text without blanks, tabs and line breaks at either end.
std::string TrimBlanks(std::string_view text);

}  // namespace tunlatch
