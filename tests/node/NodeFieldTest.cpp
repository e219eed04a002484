// Node fields without Qt: each codec shows the bytes as the pages do, stores typed text back,
// and keeps a stored word whose text was not touched.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "node/NodeFields.h"

namespace {

using node::Codec;
using Bytes = std::array<std::uint8_t, 32>;

struct CodecCase {
    const char* name;
    node::Field field;
    std::uint8_t hi, lo;  // the stored bytes at the field's offset
    const char* shown;
    const char* typed;  // a text typed over it
    std::uint8_t typedHi, typedLo;
};

void PrintTo(const CodecCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr node::Field At1(Codec codec) {
    return {"field", node::Part(2), 1, codec, ""};
}

const CodecCase kCases[] = {
    {"SignedHundredthsNegative", At1(Codec::SignedHundredths), 0xFE, 0x0C, "-5.0", "-2.5", 0xFF,
     0x06},
    {"SignedHundredthsWrap", At1(Codec::SignedHundredths), 0x27, 0x11, "-555.4", "120", 0x2E, 0xE0},
    {"WordWraps", At1(Codec::Word), 0xFF, 0xFF, "65535", "70000", 0x11, 0x70},
    {"WordNegative", At1(Codec::Word), 0x00, 0x1E, "30", "-5", 0xFF, 0xFB},
    {"TenthsShownWhole", At1(Codec::Tenths), 0x01, 0x31, "30", "30.5", 0x01, 0x31},
    {"DecimalTenths", At1(Codec::DecimalTenths), 0xFF, 0xFF, "6553.5", "0.29", 0x00, 0x02},
    {"SignedByte", At1(Codec::SignedByte), 0xFE, 0x00, "-2", "300", 0x2C, 0x00},
    {"HalfSteps", At1(Codec::HalfSteps), 0x65, 0x00, "50", "63.75", 0x7F, 0x00},
    {"TypedLetters", At1(Codec::Word), 0x12, 0x34, "4660", "12abc", 0x00, 0x0C},
};

class NodeFieldCodecTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(NodeFieldCodecTest, ShowsAndStoresAsThePagesDo) {
    const CodecCase& c = GetParam();
    Bytes bytes{};
    bytes.fill(0xA5);
    bytes[1] = c.hi;
    if (node::Size(c.field) == 2) {
        bytes[2] = c.lo;
    }
    EXPECT_EQ(node::Text(c.field, bytes.data()), c.shown);

    Bytes stored = bytes;
    node::StoreText(c.field, c.typed, stored.data());
    EXPECT_EQ(stored[1], c.typedHi);
    if (node::Size(c.field) == 2) {
        EXPECT_EQ(stored[2], c.typedLo);
    }
    // Only the field's own bytes change.
    for (std::size_t i = 1 + node::Size(c.field); i < stored.size(); ++i) {
        EXPECT_EQ(stored[i], 0xA5) << "byte " << i;
    }
    EXPECT_EQ(stored[0], 0xA5);
}

INSTANTIATE_TEST_SUITE_P(Codecs, NodeFieldCodecTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What a field's bytes store and read back: each codec's ends are taken and show as typed (up
// to the digits the display drops), a step beyond either end is refused with the range, and
// so is text that is not a number or time, a time between quarter hours, and a live value.
struct ValidateCase {
    const char* name;
    node::Field field;
    const char* typed;
    node::Fault fault;
    const char* shown;  // what the field shows after the text is stored (storable cases)
    const char* range;
};

void PrintTo(const ValidateCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr node::Field kLive = node::fields::kRoomTemperature;
using F = node::Fault;
constexpr const char* kWords = "0 to 65535";
constexpr const char* kTenths = "0.0 to 6553.5";
constexpr const char* kHundredths = "-555.35 to 100.00";
constexpr const char* kDay = "0:00 to 24:00";
constexpr const char* kByteTimes = "hours -128 to 127, minutes 0 to 127";
constexpr const char* kWordTimes = "hours 0 to 65535, minutes 0 to 65535";

const ValidateCase kValidateCases[] = {
    {"WordLow", At1(Codec::Word), "0", F::None, "0", kWords},
    {"WordHigh", At1(Codec::Word), "65535", F::None, "65535", kWords},
    {"WordBelow", At1(Codec::Word), "-1", F::OutOfRange, "", kWords},
    {"WordAbove", At1(Codec::Word), "65536", F::OutOfRange, "", kWords},
    {"WordLetters", At1(Codec::Word), "12abc", F::NotANumber, "", kWords},
    {"WordEmpty", At1(Codec::Word), "", F::NotANumber, "", kWords},
    {"ModeAbove", At1(Codec::Mode), "65536", F::OutOfRange, "", kWords},
    {"TenthsHigh", At1(Codec::Tenths), "6553.5", F::None, "6553", kTenths},
    {"TenthsAbove", At1(Codec::Tenths), "6553.6", F::OutOfRange, "", kTenths},
    {"TenthsBelow", At1(Codec::Tenths), "-0.1", F::OutOfRange, "", kTenths},
    {"DecimalTenthsHigh", At1(Codec::DecimalTenths), "6553.5", F::None, "6553.5", kTenths},
    {"DecimalTenthsAbove", At1(Codec::DecimalTenths), "6553.6", F::OutOfRange, "", kTenths},
    {"HundredthsHigh", At1(Codec::SignedHundredths), "100", F::None, "100.0", kHundredths},
    {"HundredthsAbove", At1(Codec::SignedHundredths), "100.01", F::OutOfRange, "", kHundredths},
    {"HundredthsLow", At1(Codec::SignedHundredths), "-555.3", F::None, "-555.3", kHundredths},
    {"HundredthsBelow", At1(Codec::SignedHundredths), "-555.4", F::OutOfRange, "", kHundredths},
    {"HundredthsLetters", At1(Codec::SignedHundredths), "abc", F::NotANumber, "", kHundredths},
    {"SignedByteLow", At1(Codec::SignedByte), "-128", F::None, "-128", "-128 to 127"},
    {"SignedByteHigh", At1(Codec::SignedByte), "127", F::None, "127", "-128 to 127"},
    {"SignedByteBelow", At1(Codec::SignedByte), "-129", F::OutOfRange, "", "-128 to 127"},
    {"SignedByteAbove", At1(Codec::SignedByte), "128", F::OutOfRange, "", "-128 to 127"},
    {"HalfStepsHigh", At1(Codec::HalfSteps), "127", F::None, "127", "0.0 to 127.5"},
    {"HalfStepsAbove", At1(Codec::HalfSteps), "128", F::OutOfRange, "", "0.0 to 127.5"},
    {"HalfStepsBelow", At1(Codec::HalfSteps), "-0.5", F::OutOfRange, "", "0.0 to 127.5"},
    {"FlagAbove", node::Flag("flag", node::Part(2), 1, 0x04), "2", F::OutOfRange, "", "0 to 1"},
    {"QuarterHoursLow", At1(Codec::QuarterHours), "0:00", F::None, "0:00", kDay},
    {"QuarterHoursHigh", At1(Codec::QuarterHours), "24:00", F::None, "24:00", kDay},
    {"QuarterHoursAbove", At1(Codec::QuarterHours), "24:15", F::OutOfRange, "", kDay},
    {"QuarterHoursMinutes", At1(Codec::QuarterHours), "23:60", F::OutOfRange, "", kDay},
    {"QuarterHoursBetween", At1(Codec::QuarterHours), "8:20", F::NotAQuarter, "", kDay},
    {"QuarterHoursNumber", At1(Codec::QuarterHours), "8", F::NotATime, "", kDay},
    {"QuarterHoursLetters", At1(Codec::QuarterHours), "a1:00", F::NotATime, "", kDay},
    {"QuarterHoursSpaced", At1(Codec::QuarterHours), " 8:00", F::NotATime, "", kDay},
    {"QuarterHoursLong", At1(Codec::QuarterHours), "008:00", F::NotATime, "", kDay},
    {"ByteTimeLow", At1(Codec::HourMinuteBytes), "-128:00", F::None, "-128:00", kByteTimes},
    {"ByteTimeHigh", At1(Codec::HourMinuteBytes), "127:127", F::None, "127:127", kByteTimes},
    {"ByteTimeAbove", At1(Codec::HourMinuteBytes), "128:00", F::OutOfRange, "", kByteTimes},
    {"ByteTimeNegativeMinute", At1(Codec::HourMinuteBytes), "4:-5", F::OutOfRange, "", kByteTimes},
    {"WordTimeHigh", At1(Codec::HourMinuteWords), "65535:65535", F::None, "65535:65535",
     kWordTimes},
    {"WordTimeAbove", At1(Codec::HourMinuteWords), "65536:00", F::OutOfRange, "", kWordTimes},
    {"LiveValue", kLive, "20", F::Live, "", kHundredths},
};

class ValidateTest : public ::testing::TestWithParam<ValidateCase> {};

TEST_P(ValidateTest, TakesWhatTheBytesStoreAndReadBack) {
    const ValidateCase& c = GetParam();
    const node::Validation result = node::Validate(c.field, c.typed);
    EXPECT_EQ(result.fault, c.fault) << result.reason;
    EXPECT_EQ(result.range, c.range);
    EXPECT_EQ(result.reason.empty(), c.fault == F::None);
    if (c.fault == F::None) {
        Bytes bytes{};
        bytes.fill(0xA5);
        node::StoreText(c.field, c.typed, bytes.data());
        EXPECT_EQ(node::Text(c.field, bytes.data()), c.shown);
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, ValidateTest, ::testing::ValuesIn(kValidateCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A text equal to what the field shows keeps the stored word when the display drops digits:
// 305 tenths show 30 and stay 305, as hundredths and half steps stay; a changed text is stored
// as typed.
TEST(NodeFieldTest, UntouchedTextKeepsTheDigitsTheDisplayDrops) {
    Bytes bytes{};
    const node::Field& delay = node::fields::kPumpStopDelay;
    bytes[delay.offset] = 0x01;
    bytes[delay.offset + 1] = 0x31;  // 305
    node::StoreText(delay, node::Text(delay, bytes.data()), bytes.data());
    EXPECT_EQ(bytes[delay.offset + 1], 0x31);
    node::StoreText(delay, "30", bytes.data());
    EXPECT_EQ(bytes[delay.offset + 1], 0x31) << "\"30\" is what 305 shows";
    node::StoreText(delay, "31", bytes.data());
    EXPECT_EQ(bytes[delay.offset + 1], 0x36);  // 310

    const node::Field& offset = node::fields::kOutdoorOffset;
    bytes[offset.offset] = 0xFF;
    bytes[offset.offset + 1] = 0x01;  // -2.55 shows -2.5 (or -2.6)
    node::StoreText(offset, node::Text(offset, bytes.data()), bytes.data());
    EXPECT_EQ(bytes[offset.offset + 1], 0x01);

    const node::Field& output = node::fields::kValveManualOutput[0];
    bytes[output.offset] = 0x65;  // 50.5 % shows 50
    node::StoreText(output, node::Text(output, bytes.data()), bytes.data());
    EXPECT_EQ(bytes[output.offset], 0x65);
}

TEST(NodeFieldTest, FlagsChangeOnlyTheirMask) {
    Bytes bytes{};
    bytes[2] = 0xF7;
    const node::Field& frost = node::fields::kFrostProtection;  // part 1 byte 2, 0x08
    EXPECT_FALSE(node::FlagSet(frost, bytes.data()));
    node::StoreFlag(frost, true, bytes.data());
    EXPECT_EQ(bytes[2], 0xFF);
    node::StoreFlag(node::fields::kNightLowering1, false, bytes.data());
    EXPECT_EQ(bytes[2], 0xFE);
}

TEST(NodeFieldTest, SettingsFileNamesTheVariableAndPart) {
    EXPECT_EQ(node::FileVariable(node::fields::kFrostStart), "nviPluginCnf part 2");
    EXPECT_EQ(node::FileVariable(node::fields::kMaxReturn[1]), "nciTemp2PlugIn");
    EXPECT_EQ(node::FileVariable(node::fields::kCalibrationTime[0]), "nciCalcValve1");
    EXPECT_EQ(node::FileVariable(node::fields::kRoomTemperature), "");
}

// A chart's legend names the valve or pump first and drops the words the live values share.
TEST(NodeFieldTest, ShortNamesPutTheValveFirstAndDropTheSharedWords) {
    namespace fields = node::fields;
    EXPECT_EQ(node::ShortName(fields::kValveOutput[0]), "Mv1 output");
    EXPECT_EQ(node::ShortName(fields::kHotWaterPumpOutput), "Mp3 output");
    EXPECT_EQ(node::ShortName(fields::kHeatingElementOutput), "Heating element output");
    EXPECT_EQ(node::ShortName(fields::kForwardTemperature[1]), "Forward");
    EXPECT_EQ(node::ShortName(fields::kOutdoorTemperature), "Outdoor");
    EXPECT_EQ(node::ShortName(fields::kCalculatedSetPoint), "Set point");
    EXPECT_EQ(node::ShortName(fields::kPressure), "Pressure");
}

}  // namespace

// The table's check that no two fields claim the same bits: overlapping bytes of one place, or
// overlapping masks of flags in one byte; other places, neighbouring bytes and other bits are
// free.
namespace claims {
using node::ClaimTheSameBits;
using node::Part;
constexpr node::Field kWordAt1{"word", Part(2), 1, node::Codec::Word};
static_assert(ClaimTheSameBits(kWordAt1, {"byte", Part(2), 2, node::Codec::SignedByte}));
static_assert(!ClaimTheSameBits(kWordAt1, {"byte", Part(2), 3, node::Codec::SignedByte}));
static_assert(!ClaimTheSameBits(kWordAt1, {"word", Part(3), 1, node::Codec::Word}));
static_assert(ClaimTheSameBits(kWordAt1, node::Flag("flag", Part(2), 1, 0x01)));
static_assert(ClaimTheSameBits(node::Flag("a", Part(1), 2, 0x03),
                               node::Flag("b", Part(1), 2, 0x02)));
static_assert(!ClaimTheSameBits(node::Flag("a", Part(1), 2, 0x01),
                                node::Flag("b", Part(1), 2, 0x02)));
static_assert(ClaimTheSameBits({"time", node::Variable(36), 1, node::Codec::HourMinuteWords},
                               {"word", node::Variable(36), 3, node::Codec::Word}));
}  // namespace claims
