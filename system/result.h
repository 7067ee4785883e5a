#pragma once
// The outcome of a Windows call that can fail: the value it delivers, or Windows' own code for
// why it did not. Only the Win32 layer makes failures; the run core renders them for the log.
#include <cstdint>
#include <utility>
#include <variant>

namespace tunlatch {

// Windows' code for a failed call, and which family of codes it belongs to: the log writes
// Windows' error codes in decimal, the others as the hexadecimal numbers their headers use.
struct SystemError {
    enum class Family {
        Windows,        // GetLastError's codes, SetupAPI's 0xE000.... among them
        ConfigManager,  // the Configuration Manager's CONFIGRET
        ComResult,      // an HRESULT
    };
    // The part that failed, where a caller tells them apart: the service manager or the service
    // could not be opened, or the call itself was refused.
    enum class Stage { Call, OpenManager, OpenObject };

    std::uint32_t code = 0;
    Family family = Family::Windows;
    Stage stage = Stage::Call;

    bool operator==(const SystemError&) const = default;
};

struct Done {
    bool operator==(const Done&) const = default;
};

// Either a value or the failure E. [[nodiscard]]: a dropped outcome is a failure not told.
template <typename T = Done, typename E = SystemError>
class [[nodiscard]] Result {
public:
    Result(T value) : outcome_(std::in_place_index<0>, std::move(value)) {}
    Result(E failure) : outcome_(std::in_place_index<1>, std::move(failure)) {}
    Result() requires std::is_same_v<T, Done> : outcome_(std::in_place_index<0>) {}

    bool ok() const noexcept { return outcome_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }
    const T& value() const { return std::get<0>(outcome_); }
    const T* operator->() const { return &value(); }
    const T& operator*() const { return value(); }
    const E& error() const { return std::get<1>(outcome_); }

private:
    std::variant<T, E> outcome_;
};

}  // namespace tunlatch
