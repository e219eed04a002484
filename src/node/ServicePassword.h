#pragma once
// The service password that guards the PID writes, the download and the factory defaults.

#include <string_view>

inline constexpr std::string_view kServicePassword = "Quorka";

// The typed text compared byte for byte, case-sensitively, with the service password.
inline bool IsServicePassword(std::string_view typed) {
    return typed == kServicePassword;
}
