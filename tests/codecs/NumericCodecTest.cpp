#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "codecs/BitCodec.h"
#include "codecs/NumericCodec.h"

namespace {

using codecs::NumericCodec;

TEST(NumericCodec, BytesToNumbers) {
    const NumericCodec c;
    EXPECT_EQ(c.MakeWord(0xFF, 0xFF), 65535);
    EXPECT_EQ(c.MakeWord(0x1FB, 0x150), 0xFB50);  // only the low 8 bits of each byte count
    EXPECT_EQ(c.MakeWord(-1, -1), 65535);

    EXPECT_DOUBLE_EQ(c.WordDivTen(0x00, 123), 12.0);  // remainder dropped first
    EXPECT_DOUBLE_EQ(c.WordDivTen(0x0B, 0xBD), 300.0);
    EXPECT_DOUBLE_EQ(c.WordDivTen(0xFF, 0xFF), 6553.0);

    EXPECT_EQ(c.SignedByte(0x7F), 127);
    EXPECT_EQ(c.SignedByte(0x80), -128);
    EXPECT_EQ(c.SignedByte(0xFF), -1);
    EXPECT_EQ(c.SignedByte(0x1FE), -2);

    EXPECT_DOUBLE_EQ(c.ByteHalves(0xFF), 127.5);
    EXPECT_DOUBLE_EQ(c.ByteHalves(0x80), 64.0);
    EXPECT_DOUBLE_EQ(c.ByteHalves(0x7F), 63.5);
    EXPECT_DOUBLE_EQ(c.ByteHalves(0), 0.0);

    EXPECT_DOUBLE_EQ(c.WordHalfHundredths(0xFF, 0xFF), 327.675);
    EXPECT_DOUBLE_EQ(c.WordHalfHundredths(0x03, 0xE8), 5.0);
}

TEST(NumericCodec, SignedHundredthsWrapsStrictlyAboveTenThousand) {
    const NumericCodec c;
    struct Case {
        int hi, lo;
        double expected;
    };
    const Case cases[] = {
        {0x27, 0x10, 100.00},   // 10000
        {0x27, 0x11, -555.35},  // 10001
        {0xFF, 0xFF, -0.01},   {0x00, 0x00, 0.0},
        {0xFE, 0x0C, -5.00},   {0x3A, 0x98, -505.36},  // 15000: a typed 150.00 does not survive
    };
    for (const Case& k : cases) {
        EXPECT_DOUBLE_EQ(c.SignedHundredths(k.hi, k.lo), k.expected) << k.hi << " " << k.lo;
    }
}

TEST(NumericCodec, NumbersToBytesTruncateTowardZero) {
    const NumericCodec c;
    struct Case {
        const char* what;
        int actual;
        int expected;
    };
    const Case cases[] = {
        {"HundredthsLowByte(0.29)", c.HundredthsLowByte(0.29), 28},
        {"TenthsLowByte(21.7)", c.TenthsLowByte(21.7), 217 & 0xFF},
        {"TenthsHighByte(21.7)", c.TenthsHighByte(21.7), 0},
        {"ToHalfSteps(63.75)", c.ToHalfSteps(63.75), 127},
        {"ToHalfSteps(-0.4)", c.ToHalfSteps(-0.4), 0},
        {"ToHalfSteps(127.5)", c.ToHalfSteps(127.5), 0xFF},
        {"HighByte(-1.0)", c.HighByte(-1.0), 0xFF},
        {"LowByte(-1.0)", c.LowByte(-1.0), 0xFF},
        {"HighByte(-0.9)", c.HighByte(-0.9), 0},
        {"HighByte(70000.0)", c.HighByte(70000.0), 0x11},
        {"LowByte(70000.0)", c.LowByte(70000.0), 0x70},
        {"HighByte(64336.0)", c.HighByte(64336.0), 0xFB},
        {"LowByte(64336.0)", c.LowByte(64336.0), 0x50},
        {"HundredthsHighByte(-5.0)", c.HundredthsHighByte(-5.0), 0xFE},
        {"HundredthsLowByte(-5.0)", c.HundredthsLowByte(-5.0), 0x0C},
        {"LowByte(-128.0)", c.LowByte(-128.0), 0x80},
        {"IntHighByte(-1)", c.IntHighByte(-1), 0xFF},
        {"IntHighByte(0x12345)", c.IntHighByte(0x12345), 0x23},
        {"IntLowByte(-56)", c.IntLowByte(-56), 0xC8},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(k.actual, k.expected) << k.what;
    }
}

TEST(NumericCodec, WrittenPairsReadBack) {
    const NumericCodec c;
    for (int hundredths = -55535; hundredths <= 10000; hundredths += 7) {
        const double x = hundredths / 100.0;
        const double back = c.SignedHundredths(c.HundredthsHighByte(x), c.HundredthsLowByte(x));
        // Truncation toward zero may lose one hundredth (0.29 -> 28), never more.
        EXPECT_NEAR(back, x, 0.0101) << x;
        EXPECT_LE(std::fabs(back), std::fabs(x) + 1e-9) << x;
    }
    for (int b = -128; b <= 127; ++b) {
        EXPECT_EQ(c.SignedByte(c.LowByte(b)), b);
    }
    for (int halves = 0; halves <= 255; ++halves) {
        EXPECT_EQ(c.ToHalfSteps(c.ByteHalves(halves)), halves);
    }
}

TEST(TruncateToInt, SaturatesOutsideTheIntRange) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(codecs::TruncateToInt(2.9), 2);
    EXPECT_EQ(codecs::TruncateToInt(-2.9), -2);
    EXPECT_EQ(codecs::TruncateToInt(2147483647.9), kMax);
    EXPECT_EQ(codecs::TruncateToInt(-2147483648.9), kMin);
    EXPECT_EQ(codecs::TruncateToInt(1e300), kMax);
    EXPECT_EQ(codecs::TruncateToInt(-1e300), kMin);
    EXPECT_EQ(codecs::TruncateToInt(std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(codecs::TruncateToInt(-std::numeric_limits<double>::infinity()), kMin);
    EXPECT_EQ(codecs::TruncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    const NumericCodec c;
    EXPECT_EQ(c.HundredthsLowByte(1e12), 0xFF);
    EXPECT_EQ(c.HundredthsHighByte(-1e12), 0x00);
}

TEST(BitCodec, MasksCountFromTheTopBit) {
    const codecs::BitCodec c;
    for (int n = 0; n < 8; ++n) {
        const int mask = 0x80 >> n;
        EXPECT_EQ(c.GetBit(mask, n), 1) << n;
        EXPECT_EQ(c.GetBit(0xFF & ~mask, n), 0) << n;
        EXPECT_EQ(c.SetBit(0, n), mask) << n;
        EXPECT_EQ(c.SetBit(mask, n), mask) << n;  // already set: unchanged
        EXPECT_EQ(c.ClearBit(0xFF, n), 0xFF & ~mask) << n;
        EXPECT_EQ(c.ClearBit(0xFF & ~mask, n), 0xFF & ~mask) << n;  // already clear
    }
    EXPECT_EQ(c.GetBit(0x180, 0), 1);
    EXPECT_EQ(c.GetBit(0x100, 7), 0);
    for (int n : {-1, 8, 31, 32, 1000}) {
        EXPECT_EQ(c.GetBit(0xFF, n), 0) << n;
        EXPECT_EQ(c.SetBit(0x5A, n), 0x5A) << n;
        EXPECT_EQ(c.ClearBit(0x5A, n), 0x5A) << n;
    }
}

TEST(BitCodec, ReverseBits) {
    const codecs::BitCodec c;
    const std::pair<int, int> cases[] = {{0x00, 0x00}, {0xFF, 0xFF}, {0x80, 0x01},
                                         {0x03, 0xC0}, {0xA0, 0x05}, {0x1A0, 0x05}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(c.ReverseBits(in), out) << in;
    }
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(c.ReverseBits(c.ReverseBits(b)), b) << b;
        for (int n = 0; n < 8; ++n) {
            // Pages test flag n of a byte numbered from the least significant bit this way.
            EXPECT_EQ(c.GetBit(c.ReverseBits(b), n), (b >> n) & 1) << b << " " << n;
        }
    }
}

}  // namespace
