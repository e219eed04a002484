#pragma once
// Bytes as a technician reads them in transcripts, listings and state files: two upper-case
// hexadecimal digits a byte, one blank between bytes ("00 08 FF"). Read back in either case.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codecs {

std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

// The value of one hexadecimal digit in either case, or -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The blanks of the C locale: space, tab, line feed, vertical tab, form feed, carriage return.
inline constexpr std::string_view kHexBlanks = " \t\n\v\f\r";

// Reads "00 08 FF" or "0008ff": two hex digits a byte, any of blanks between bytes (optional,
// never inside a byte), any number of bytes. False, with bytes cleared, for anything else.
bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t>& bytes,
                   std::string_view blanks = kHexBlanks);

}  // namespace codecs
