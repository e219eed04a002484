#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "codecs/NumberReader.h"

namespace {

struct ReadCase {
    std::string_view text;
    double expected;
};

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsLongestNumericPrefix) {
    const ReadCase& c = GetParam();
    EXPECT_DOUBLE_EQ(codecs::ReadNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    testing::Values(ReadCase{"12abc", 12.0}, ReadCase{"abc", 0.0}, ReadCase{"", 0.0},
                    ReadCase{"  -3.5e1x", -35.0}, ReadCase{"1e", 1.0}, ReadCase{"1e+", 1.0},
                    ReadCase{"1e-x", 1.0}, ReadCase{"2E2", 200.0}, ReadCase{"2e-2", 0.02},
                    ReadCase{".5", 0.5}, ReadCase{"5.", 5.0}, ReadCase{".", 0.0},
                    ReadCase{"-", 0.0}, ReadCase{"+7", 7.0}, ReadCase{"+-7", 0.0},
                    ReadCase{"- 7", 0.0}, ReadCase{"\t\n\v\f\r 42", 42.0},
                    ReadCase{"64336, 2000", 64336.0}, ReadCase{"300.0", 300.0},
                    ReadCase{"-56\r", -56.0}, ReadCase{"1.2.3", 1.2}, ReadCase{"0x1A", 0.0},
                    ReadCase{"inf", 0.0}, ReadCase{"nan", 0.0}, ReadCase{"1,5", 1.0},
                    ReadCase{"00012", 12.0}, ReadCase{"0.29", 0.29}, ReadCase{"1e-400", 0.0},
                    ReadCase{"0e999999", 0.0}));

TEST(ReadNumber, OverflowGivesInfinityWithSign) {
    EXPECT_EQ(codecs::ReadNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(codecs::ReadNumber("-1e99999999999999999999"), -HUGE_VAL);
    EXPECT_EQ(codecs::ReadNumber("0.1e310"), HUGE_VAL);
    EXPECT_EQ(codecs::ReadNumber("1000e-330"), 0.0);
}

}  // namespace
