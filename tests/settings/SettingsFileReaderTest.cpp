// The reader's walk over a settings file: which lines count, which are skipped, and what
// each accepted label line reports.

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "node/ProgramId.h"
#include "settings/SettingsFile.h"

namespace settings_test {
namespace {

using settings::SettingsFile;

// Records the walk as one text per event.
class Recorder : public SettingsFile::Visitor {
public:
    std::deque<bool> mismatchAnswers;  // answers for foreign Program IDs; true when empty
    std::vector<std::string> events;

    bool OnProgramId(std::string_view text) override {
        events.push_back("id " + std::string(text));
        if (text == GetProgramIdText()) {
            return true;
        }
        if (mismatchAnswers.empty()) {
            return true;
        }
        const bool answer = mismatchAnswers.front();
        mismatchAnswers.pop_front();
        return answer;
    }

    void OnLabel(const SettingsFile::Label& label) override {
        std::string event = "label " + std::string(label.name);
        if (label.variable == nullptr) {
            event += " ?";
        }
        if (label.part != 0) {
            event += " part " + std::to_string(label.part);
        }
        switch (label.state) {
            case SettingsFile::ValueState::Present:
                event += " = " + std::string(label.value);
                break;
            case SettingsFile::ValueState::Missing:
                event += " missing";
                break;
            case SettingsFile::ValueState::TooLong:
                event += " too long";
                break;
        }
        events.push_back(event);
    }
};

struct Walk {
    SettingsFile::ReadResult result;
    std::vector<std::string> events;
};

Walk Read(const std::string& text, std::deque<bool> answers = {}) {
    std::istringstream in(text);
    Recorder recorder;
    recorder.mismatchAnswers = std::move(answers);
    Walk walk;
    walk.result = SettingsFile::Read(in, recorder);
    walk.events = recorder.events;
    return walk;
}

const std::string kId = "- 90 56 69 72 65 6F 4B 2A\n";
const std::string kTemp1 = "* nciTemp1PlugIn    (36) - SNVT_str_int            \n";
const std::string kSwitch1 = "* nciSwitchExt1     (38) - SNVT_count             \n";
const std::string kPart1 = "* nviPluginCnf     (44) - SNVT_str_int     ** Part 1  \n";
const std::string kPart5 = "* nviPluginCnf     (44) - SNVT_str_int     ** Part 5  \n";

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

TEST(SettingsFileReader, CrLfAndLfFilesGiveTheSameWalk) {
    const std::string text = "/ Program ID   \n" + kId + "/ Nodename\n- Boiler1\n\n" + kTemp1 +
                             "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16\n\n" +
                             kSwitch1 + "255\n\n" + kPart1 + "0, 0\n";
    const std::vector<std::string> expected = {
        "id 90 56 69 72 65 6F 4B 2A",
        "label nciTemp1PlugIn = 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16",
        "label nciSwitchExt1 = 255",
        "label nviPluginCnf part 1 = 0, 0",
    };
    const Walk lf = Read(text);
    const Walk crlf = Read(WithCrLf(text));
    EXPECT_EQ(lf.events, expected);
    EXPECT_EQ(crlf.events, expected);
    EXPECT_TRUE(crlf.result.accepted);
    EXPECT_EQ(crlf.result.bytesRead, WithCrLf(text).size());
    // Without a final line end the last line still counts, and its CR is still a line end.
    EXPECT_EQ(Read(kId + kSwitch1 + "7\r").events.back(), "label nciSwitchExt1 = 7");
}

TEST(SettingsFileReader, ProgramIdLines) {
    struct Case {
        const char* what;
        std::string text;
        std::deque<bool> answers;
        std::vector<std::string> events;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"no Program ID line", kSwitch1 + "1\n", {}, {}, false},
        {"blocks before the Program ID line",
         kSwitch1 + "1\n" + kId + kTemp1 + "0\n",
         {},
         {"id 90 56 69 72 65 6F 4B 2A", "label nciTemp1PlugIn = 0"},
         true},
        {"22 characters", "- 90 56 69 72 65 6F 4B 2\n" + kSwitch1 + "1\n", {}, {}, false},
        {"24 characters", "- 90 56 69 72 65 6F 4B 2AA\n" + kSwitch1 + "1\n", {}, {}, false},
        {"any first two characters",
         "-x90 56 69 72 65 6F 4B 2A\n" + kSwitch1 + "1\n",
         {},
         {"id 90 56 69 72 65 6F 4B 2A", "label nciSwitchExt1 = 1"},
         true},
        {"one character changed, declined",
         "- 90 56 69 72 65 6F 4B 2B\n" + kSwitch1 + "1\n",
         {false},
         {"id 90 56 69 72 65 6F 4B 2B"},
         false},
        {"every line judged again, the last judgement counts",
         kId + kSwitch1 + "1\n" + "- 11 22 33 44 55 66 77 88\n" + kSwitch1 + "2\n" +
             "- 11 22 33 44 55 66 77 99\n" + kSwitch1 + "3\n",
         {false, true},
         {"id 90 56 69 72 65 6F 4B 2A", "label nciSwitchExt1 = 1", "id 11 22 33 44 55 66 77 88",
          "id 11 22 33 44 55 66 77 99", "label nciSwitchExt1 = 3"},
         true},
        // While not accepted, the line after a label is examined like any other line.
        {"ignored label followed by a Program ID line",
         "- 11 22 33 44 55 66 77 88\n" + kSwitch1 + kId + kSwitch1 + "4\n",
         {false},
         {"id 11 22 33 44 55 66 77 88", "id 90 56 69 72 65 6F 4B 2A", "label nciSwitchExt1 = 4"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Walk walk = Read(c.text, c.answers);
        EXPECT_EQ(walk.events, c.events);
        EXPECT_EQ(walk.result.accepted, c.accepted);
    }
}

TEST(SettingsFileReader, LabelLines) {
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> events;
    };
    const std::vector<Case> cases = {
        {"no space after the star: the name starts one character late",
         "*nciTemp1PlugIn    (36) - SNVT_str_int\n1\n" + kSwitch1 + "2\n",
         {"label ciTemp1PlugIn ? = 1", "label nciSwitchExt1 = 2"}},
        {"no space after the name", "* nciSwitchExt1\n1\n", {"label  ? = 1"}},
        {"names are case-sensitive", "* NCISWITCHEXT1 (38)\n1\n", {"label NCISWITCHEXT1 ? = 1"}},
        {"parts are numbered by their order, not their label",
         kPart5 + "5\n" + "* other (1)\nx\n" + kPart1 + "1\n",
         {"label nviPluginCnf part 1 = 5", "label other ? = x", "label nviPluginCnf part 2 = 1"}},
        {"a label directly followed by a label has no value line",
         kTemp1 + kSwitch1 + "2\n" + kPart1 + kPart1 + "9\n",
         {"label nciTemp1PlugIn missing", "label nciSwitchExt1 = 2",
          "label nviPluginCnf part 1 missing", "label nviPluginCnf part 2 = 9"}},
        {"a label at the end of the file has no value line",
         kSwitch1,
         {"label nciSwitchExt1 missing"}},
        {"any other line is a value line, whatever it holds",
         kSwitch1 + "\n" + kSwitch1 + kId,
         {"label nciSwitchExt1 = ", "label nciSwitchExt1 = - 90 56 69 72 65 6F 4B 2A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> expected = {"id 90 56 69 72 65 6F 4B 2A"};
        expected.insert(expected.end(), c.events.begin(), c.events.end());
        EXPECT_EQ(Read(kId + c.body).events, expected);
    }
}

TEST(SettingsFileReader, LongLines) {
    const std::string value114(114, '7');
    // The rest of a long line is dropped, never read as a line of its own.
    const std::string longJunk = std::string(99, 'x') + kId + "\n";
    EXPECT_TRUE(Read(longJunk + kSwitch1 + "1\n").events.empty());

    const Walk walk = Read(kId + kSwitch1 + value114 + "\r\n" + kSwitch1 + value114 + "7\n" +
                           kSwitch1 + std::string(500, '8') + kId + "\n" + kSwitch1 + "2\n");
    EXPECT_EQ(walk.events, (std::vector<std::string>{
                               "id 90 56 69 72 65 6F 4B 2A", "label nciSwitchExt1 = " + value114,
                               "label nciSwitchExt1 too long", "label nciSwitchExt1 too long",
                               "label nciSwitchExt1 = 2"}));

    // A label line is taken up to 99 characters; its name still counts.
    const Walk longLabel = Read(kId + "* nciSwitchExt1 " + std::string(300, ' ') + "\n3\n");
    EXPECT_EQ(longLabel.events.back(), "label nciSwitchExt1 = 3");
}

TEST(SettingsFileReader, BinaryBytesStayInsideTheirLine) {
    const std::string value("1\0\r2", 4);
    const Walk walk = Read(kId + kSwitch1 + value + "\r\n");
    EXPECT_EQ(walk.events.back(), "label nciSwitchExt1 = " + value);
}

}  // namespace
}  // namespace settings_test
