#pragma once
// Byte patterns for the page tests' byte-for-byte checks: a value in which neighbouring bytes
// differ, a part image as bytes, and bytes as hexadecimal text for readable failures.

#include <cstdio>
#include <string>

#include "sim/SimNode.h"

// 31 bytes start, start + 7, start + 14, ... (each taken modulo 256).
inline host::Bytes Pattern(int start) {
    host::Bytes bytes(31);
    for (int i = 0; i < 31; ++i) {
        bytes[i] = static_cast<std::uint8_t>(start + 7 * i);
    }
    return bytes;
}

inline host::Bytes PartBytes(const host::PartImage& part) {
    return host::Bytes(part.begin(), part.end());
}

// "0A 1B 2C".
inline std::string Hex(const host::Bytes& bytes) {
    std::string text;
    char hex[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += hex;
    }
    return text;
}
