// Session scripts: the line syntax, exit status and transcript of the runner.
#include <gtest/gtest.h>

#include <sstream>

#include "host/ScriptRunner.h"

namespace {

struct ScriptResult {
    int status;
    std::string out;
    std::string err;
};

ScriptResult RunText(const std::string& text) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = host::RunScript(text, out, err);
    return {status, out.str(), err.str()};
}

TEST(ScriptSyntaxTest, TokensSplitAtBlanksAndQuotesHoldThem) {
    std::vector<host::ScriptToken> tokens;
    ASSERT_TRUE(host::TokenizeScriptLine(R"(expect text 231 "a \"b\" c\\d\ne")", tokens));
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[3].text, "a \"b\" c\\d\ne");
    ASSERT_TRUE(host::TokenizeScriptLine(R"(set 226 "")", tokens));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[2].text, "");
    EXPECT_FALSE(host::TokenizeScriptLine(R"(set 226 "open)", tokens));
}

TEST(ScriptSyntaxTest, HexBytesWithOrWithoutBlanks) {
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(host::ParseHexBytes("00 08 FF", bytes));
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0x00, 0x08, 0xFF}));
    ASSERT_TRUE(host::ParseHexBytes("0008ff", bytes));
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0x00, 0x08, 0xFF}));
    EXPECT_FALSE(host::ParseHexBytes("0 08", bytes));
    EXPECT_FALSE(host::ParseHexBytes("008", bytes));
    EXPECT_FALSE(host::ParseHexBytes("zz", bytes));
}

TEST(ScriptRunnerTest, PassingScriptExitsZeroWithTheCountLine) {
    const ScriptResult run = RunText(
        "\f\n# a comment\n\nnode name Boiler1\n\v\r\n \f\nopen\nexpect text 231 Boiler1\n"
        "close\nexpect selector 0\n");
    EXPECT_EQ(run.status, host::kScriptPassed);
    EXPECT_NE(run.out.find("GetNodeName 32 -> 0\n"), std::string::npos);
    EXPECT_NE(run.out.find("Sleep 250\n"), std::string::npos);
    EXPECT_TRUE(run.out.ends_with("2 passed, 0 failed\n"));
}

TEST(ScriptRunnerTest, FailedExpectationsAreAllReportedAndTheScriptRunsOn) {
    const ScriptResult run = RunText(
        "open\nexpect text 231 Other\nexpect enabled 234 yes\n"
        "expect text 231 Node1\n");
    EXPECT_EQ(run.status, host::kScriptFailed);
    EXPECT_NE(run.out.find("FAIL line 2: text of 231 is \"Node1\", expected \"Other\""),
              std::string::npos);
    EXPECT_NE(run.out.find("FAIL line 3:"), std::string::npos);
    EXPECT_TRUE(run.out.ends_with("1 passed, 2 failed\n"));
}

TEST(ScriptRunnerTest, ScriptErrorsStopWithTheLineNumber) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"open\nclick 999\nexpect selector 0\n", "ERROR line 2"},
        {"open\nclick 234\n", "disabled"},
        {"frobnicate\n", "unknown command"},
        {"click 235\n", "needs an open sheet"},
        {"node nv 7 00\n", "not a variable"},
        {"node part 13 00\n", "not 1 to 12"},
        {"node nv 39 0G\n", "hexadecimal"},
        {"node clock 2026-12-06\n", "takes"},
        {"open\ntab Nowhere\n", "no tab"},
        {"open\nset 231 x\n", "not an editable field"},
        {"expect text 231\n", "takes"},
    };
    for (const auto& c : cases) {
        const ScriptResult run = RunText(c.script);
        EXPECT_EQ(run.status, host::kScriptError) << c.script;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.script << " -> " << run.err;
    }
}

TEST(ScriptRunnerTest, MessagesAreConsumedOldestFirst) {
    const ScriptResult run = RunText(
        "node offer none\nopen\nexpect message \"Node not available!\" Plugin\n"
        "expect nomessage\nclose\n");
    EXPECT_EQ(run.status, host::kScriptPassed) << run.out;
    EXPECT_NE(run.out.find("MessageBox \"Node not available!\" \"Plugin\" OK"), std::string::npos);
}

TEST(ScriptRunnerTest, NodeStateCommandsAndChecks) {
    const ScriptResult run = RunText(
        "node nv 39 00 04\nexpect nv 39 00 04\nnode part 3 01 02\nexpect part 3 01 02 00\n"
        "node selector 3\nexpect selector 3\nexpect nv 45 01 02\nnode nv 44 FF\n"
        "expect nv 44 FF 00\nnode clock 2027-01-02 03:04:05\nexpect nv 3 07 EB 01 02 03 04 05\n");
    EXPECT_EQ(run.status, host::kScriptPassed) << run.out;
}

TEST(ScriptRunnerTest, TabsByCaptionAndPositionAndTheVariantSwitch) {
    const ScriptResult run = RunText(
        "open\nclick 235\ntab \"Hot-water tank\"\ntab 1\nclick 234\n"
        "expect tabs \"Node Information\" \"Import / Export\" \"Set Time\" "
        "\"Calender Start / Stop\" \"Calender Pir\" \"Status Switch\" "
        "\"Exercise / Digital Valve\" \"Analog Valve\" Pump "
        "\"Extended operation\" Antifrost Temperatures \"Settings Temperatures\" "
        "\"Night lowering / Summer stop\" PID \"Outdoor Temperatures\" Pressure\n"
        "close\n");
    EXPECT_EQ(run.status, host::kScriptPassed) << run.out << run.err;
}

TEST(ScriptRunnerTest, SheetCanBeOpenedAgainAfterClose) {
    const ScriptResult run =
        RunText("open\nclose\nnode name Second\nopen\nexpect text 231 Second\nclose\n");
    EXPECT_EQ(run.status, host::kScriptPassed) << run.out << run.err;
}

}  // namespace
