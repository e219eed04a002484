#include "codecs/NumericCodec.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace codecs {
namespace {

int LowBits(int value) {
    return value & 0xFF;
}

// Logical shift of the 32-bit pattern, then the low 8 bits the caller stores.
int ShiftedHighBits(int value) {
    return static_cast<int>((static_cast<std::uint32_t>(value) >> 8) & 0xFFu);
}

}  // namespace

int TruncateToInt(double v) {
    // Typed text can hold any number; the conversion saturates instead of overflowing:
    // NaN gives 0, values beyond the 32-bit range give its nearest end.
    if (std::isnan(v)) {
        return 0;
    }
    constexpr double kMin = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr double kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (v <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (v >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<int>(v);  // truncates toward zero
}

int NumericCodec::MakeWord(int hi, int lo) const {
    return LowBits(hi) * 256 + LowBits(lo);
}

double NumericCodec::WordDivTen(int hi, int lo) const {
    return static_cast<double>(MakeWord(hi, lo) / 10);
}

int NumericCodec::SignedByte(int byte) const {
    const int b = LowBits(byte);
    return b >= 128 ? b - 256 : b;
}

double NumericCodec::SignedHundredths(int hi, int lo) const {
    int w = MakeWord(hi, lo);
    if (w > 10000) {
        w -= 65536;
    }
    return w * 0.01;
}

double NumericCodec::ByteHalves(int byte) const {
    int b = SignedByte(byte);
    if (b < 0) {
        b += 256;
    }
    return b * 0.5;
}

double NumericCodec::WordHalfHundredths(int hi, int lo) const {
    return MakeWord(hi, lo) * 0.01 * 0.5;
}

int NumericCodec::ToHalfSteps(double x) const {
    return LowBits(TruncateToInt(x * 2.0));
}

int NumericCodec::TenthsHighByte(double x) const {
    return ShiftedHighBits(TruncateToInt(x * 10.0));
}

int NumericCodec::TenthsLowByte(double x) const {
    return LowBits(TruncateToInt(x * 10.0));
}

int NumericCodec::HundredthsHighByte(double x) const {
    return ShiftedHighBits(TruncateToInt(x * 100.0));
}

int NumericCodec::HundredthsLowByte(double x) const {
    return LowBits(TruncateToInt(x * 100.0));
}

int NumericCodec::HighByte(double x) const {
    return ShiftedHighBits(TruncateToInt(x));
}

int NumericCodec::LowByte(double x) const {
    return LowBits(TruncateToInt(x));
}

int NumericCodec::IntHighByte(int n) const {
    return ShiftedHighBits(n);
}

int NumericCodec::IntLowByte(int n) const {
    return LowBits(n);
}

}  // namespace codecs
