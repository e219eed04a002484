#include <gtest/gtest.h>

#include <string>

#include "base/Result.h"

namespace {

using base::Problem;
using base::Result;

// A reader of lines that knows no file, and the caller that does: the problem travels up
// unchanged but for its file.
Result<int> ParseLine(const std::string& text, int line) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return Problem("", line, "not a number: \"" + text + "\"");
    }
    return std::stoi(text);
}

Result<void> LoadFile(const std::string& path, const std::string& text) {
    const Result<int> value = ParseLine(text, 7);
    if (!value) {
        return value.Error().In(path);
    }
    return {};
}

struct TextCase {
    const char* name;
    Problem problem;
    const char* text;
};

class ProblemText : public testing::TestWithParam<TextCase> {};

TEST_P(ProblemText, ShowsTheLinePrintedForIt) {
    EXPECT_EQ(GetParam().problem.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, ProblemText,
    testing::Values(TextCase{"TextAlone", Problem("Wrong password!"), "Wrong password!"},
                    TextCase{"FileAndLine", Problem("site.json", 12, "routers/0/port out of range"),
                             "site.json:12: routers/0/port out of range"},
                    TextCase{"FoundInAFile", Problem("", 3, "no value").In("a.txt"),
                             "a.txt:3: no value"},
                    TextCase{"PropagatedFromALineReader", LoadFile("node.txt", "x1").Error(),
                             "node.txt:7: not a number: \"x1\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Result, HoldsTheValueOrTheProblem) {
    const Result<int> value = ParseLine("42", 1);
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, 42);
    EXPECT_TRUE(LoadFile("node.txt", "5"));
    const Result<void> failed = LoadFile("node.txt", "");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Error(), Problem("node.txt", 7, "not a number: \"\""));
}

}  // namespace
