#include "codecs/NumberReader.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace codecs {
namespace {

bool IsBlank(char c) {
    // The runtime's white space: space, tab, line feed, vertical tab, form feed, carriage return.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at the start of a text, and where it ends (0 when the text holds none).
struct Scanned {
    double value = 0.0;
    std::size_t end = 0;
};

Scanned Scan(std::string_view text) {
    std::size_t pos = 0;
    const std::size_t size = text.size();
    while (pos < size && IsBlank(text[pos])) {
        ++pos;
    }

    bool negative = false;
    if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    // Mantissa: digits, an optional decimal point, digits; at least one digit in all.
    const std::size_t start = pos;
    std::size_t digits = 0;
    // Decimal order of the first non-zero digit relative to the point, to tell an overflow
    // from an underflow when the value does not fit a double.
    long long order = 0;
    bool seenNonZero = false;
    while (pos < size && IsDigit(text[pos])) {
        if (seenNonZero || text[pos] != '0') {
            seenNonZero = true;
            ++order;
        }
        ++digits;
        ++pos;
    }
    if (pos < size && text[pos] == '.') {
        ++pos;
        while (pos < size && IsDigit(text[pos])) {
            if (!seenNonZero) {
                if (text[pos] != '0') {
                    seenNonZero = true;
                } else {
                    --order;
                }
            }
            ++digits;
            ++pos;
        }
    }
    if (digits == 0) {
        return {};
    }

    // Exponent: only when at least one digit follows the letter and its optional sign.
    long long exponent = 0;
    if (pos < size && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t look = pos + 1;
        bool expNegative = false;
        if (look < size && (text[look] == '+' || text[look] == '-')) {
            expNegative = text[look] == '-';
            ++look;
        }
        if (look < size && IsDigit(text[look])) {
            constexpr long long kExponentCap = 1000000;  // far beyond any double
            while (look < size && IsDigit(text[look])) {
                if (exponent < kExponentCap) {
                    exponent = exponent * 10 + (text[look] - '0');
                }
                ++look;
            }
            if (expNegative) {
                exponent = -exponent;
            }
            pos = look;
        }
    }

    const std::string_view number = text.substr(start, pos - start);
    double value = 0.0;
    if (seenNonZero) {
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        (void)end;
        if (ec == std::errc::result_out_of_range) {
            value = (order + exponent > 0) ? std::numeric_limits<double>::infinity() : 0.0;
        } else if (ec != std::errc()) {
            value = 0.0;
        }
    }
    return {negative ? -value : value, pos};
}

}  // namespace

double ReadNumber(std::string_view text) {
    return Scan(text).value;
}

bool IsWholeNumber(std::string_view text) {
    const Scanned scanned = Scan(text);
    if (scanned.end == 0) {
        return false;
    }
    for (std::size_t pos = scanned.end; pos < text.size(); ++pos) {
        if (!IsBlank(text[pos])) {
            return false;
        }
    }
    return true;
}

std::string FixedText(double value, int decimals) {
    std::array<char, 400> buffer{};  // the longest double written out in full
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace codecs
