#include "components/reg_value_text.h"

namespace tunlatch {

std::string RegValueText(const RegValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* binary = std::get_if<RegBinary>(&value)) return binary->bytes;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    return {};
}

std::optional<std::string> RegText(const RegValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return std::nullopt;
}

}  // namespace tunlatch
