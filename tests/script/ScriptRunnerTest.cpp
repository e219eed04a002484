// Session scripts: the line syntax, exit status and transcript of the runner.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>

#include "script/ScriptRunner.h"

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

// Each script ends in a script error whose line holds the message.
struct ErrorCase {
    const char* script;
    const char* message;
};
void ExpectScriptErrors(std::initializer_list<ErrorCase> cases) {
    for (const auto& c : cases) {
        const ScriptResult run = RunText(c.script);
        EXPECT_EQ(run.status, host::kScriptError) << c.script;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.script << " -> " << run.err;
    }
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
    ExpectScriptErrors({
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
    });
}

// The runner finds a line's command in its table: the words of the command, then the count of
// its arguments, each with the message that names what is wrong.
TEST(ScriptRunnerTest, CommandLookupAndArgumentCountMessages) {
    ExpectScriptErrors({
        {"frobnicate 1 2\n", "unknown command 'frobnicate'"},
        {"open\nfrobnicate\n", "unknown command 'frobnicate'"},
        {"dump\n", "'dump' needs an open sheet"},
        {"tab\n", "'tab' needs an open sheet"},
        {"node\n", "'node' needs more arguments"},
        {"node frob 1\n", "unknown node command 'frob'"},
        {"expect frob\n", "unknown check 'frob'"},
        {"pc date 2026-12-06 09:05:07\n", "'date' is not allowed here"},
        {"node fail\n", "'node' needs more arguments"},
        {"node fail frob 3\n", "'frob' is not allowed here"},
        {"node fail read\n", "'node' takes 3 argument(s)"},
        {"node fail name 3\n", "'node' takes 2 argument(s)"},
        {"node heal now\n", "'node' takes 1 argument(s)"},
        {"node program-id\n", "'node' needs more arguments"},
        {"node nv\n", "'node' needs more arguments"},
        {"pc clock 2026-12-06\n", "'pc' takes 3 argument(s)"},
        {"open now\n", "'open' takes 0 argument(s)"},
        {"open\ntab\n", "'tab' needs more arguments"},
        {"open\nset 226\n", "'set' takes 2 argument(s)"},
        {"open\nclose now\n", "'close' takes 0 argument(s)"},
        {"answer\n", "'answer' takes 1 argument(s)"},
        {"answer maybe\n", "'maybe' is not allowed here"},
        {"expect message\n", "'expect message' takes TEXT [CAPTION]"},
        {"expect message a b c\n", "'expect message' takes TEXT [CAPTION]"},
        {"expect nomessage now\n", "'expect' takes 1 argument(s)"},
    });
    // An empty byte list and an empty list of tabs are arguments enough.
    const ScriptResult run = RunText("node nv 39\nexpect nv 39\nexpect tabs\n");
    EXPECT_EQ(run.status, host::kScriptPassed) << run.out << run.err;
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
