// Download of a settings file into a node: the dialogue, the writes through the part window,
// the closing message, and the faults it must not repeat.

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

#include "TestFiles.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsFile.h"
#include "sim/SimNode.h"

namespace settings_test {
namespace {

using host::SimLink;
using host::SimNode;
using platform::MessageAnswer;
using platform::ScriptedDesktop;
using settings::DownloadOperation;

constexpr int kSingles[] = {nv::kTemp1PlugIn, nv::kTemp2PlugIn, nv::kSwitchExt1, nv::kSwitchExt2,
                            nv::kTimePump3,   nv::kCalcValve1,  nv::kCalcValve2};

const std::string kId = "- 90 56 69 72 65 6F 4B 2A\n";
const std::string kPartLabel = "* nviPluginCnf     (44) - SNVT_str_int     ** Part 1  \n";

std::string PartLine(int first) {
    std::string line = std::to_string(first);
    for (int k = 1; k <= 15; ++k) {
        line += ", " + std::to_string(first * 100 + k);
    }
    return line + "\n\n";
}

void FillRandom(SimNode& node, unsigned seed) {
    std::mt19937 random(seed);
    for (const int index : kSingles) {
        host::Bytes value = node.Raw(index);
        for (auto& byte : value) {
            byte = static_cast<std::uint8_t>(random());
        }
        node.SetRaw(index, value);
    }
    for (int part = 1; part <= nv::kPartCount; ++part) {
        host::Bytes image(nv::kPartSize);
        for (auto& byte : image) {
            byte = static_cast<std::uint8_t>(random());
        }
        node.SetPart(part, image);
    }
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshDirectory();
        path_ = (dir_ / "settings.txt").string();
        FillRandom(target_, 99);
        target_.StartRecording();
    }

    // Queues the open dialog's answer and the Yes/No answers: "Download from file to node?"
    // first, then one per foreign Program ID.
    void Script(const std::optional<std::string>& file, const std::deque<MessageAnswer>& answers) {
        desktop_.QueueFile(file);
        for (const MessageAnswer answer : answers) {
            desktop_.QueueAnswer(answer == MessageAnswer::Yes);
        }
    }
    void Script() { Script(path_, {MessageAnswer::Yes}); }

    settings::OperationReport Run(const std::string& password = "Quorka") {
        return DownloadOperation(link_.Link(), desktop_).Run(password, "initial.txt");
    }

    void Export(SimNode& source) {
        ScriptedDesktop desktop;
        desktop.QueueFile(path_);
        const auto result = settings::ExportOperation(SimLink(source).Link(), desktop).Run("");
        ASSERT_TRUE(result.written);
    }

    std::filesystem::path dir_;
    std::string path_;
    SimNode target_;
    SimLink link_{target_};
    ScriptedDesktop desktop_;
};

TEST_F(DownloadTest, ExportThenDownloadRestoresEveryByteButTheTenthsOfTimePump3) {
    SimNode source;
    FillRandom(source, 7);
    source.SetRaw(nv::kTimePump3, {0x0B, 0xBD});  // 300.5 s
    Export(source);
    Script();

    const auto result = Run();

    for (const int index : kSingles) {
        if (index != nv::kTimePump3) {
            EXPECT_EQ(target_.Raw(index), source.Raw(index)) << "NV " << index;
        }
    }
    EXPECT_EQ(target_.Raw(nv::kTimePump3), (std::vector<std::uint8_t>{0x0B, 0xB8}));
    for (int part = 1; part <= nv::kPartCount; ++part) {
        EXPECT_EQ(target_.Part(part), source.Part(part)) << "part " << part;
    }
    EXPECT_EQ(target_.Selector(), 0);
    EXPECT_TRUE(result.Completed());
    EXPECT_TRUE(result.clearPassword);
    EXPECT_EQ(result.writtenVariables, 19);
    ASSERT_EQ(desktop_.Messages().size(), 2u);
    EXPECT_EQ(desktop_.Messages()[0].text, "Download from file to node?");
    EXPECT_EQ(desktop_.Messages()[0].caption, "Download");
    EXPECT_EQ(desktop_.Messages()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(desktop_.Messages()[1].text, "Download completed");
    EXPECT_EQ(desktop_.Messages()[1].caption, "Download status");
    ASSERT_EQ(desktop_.FileDialogs().size(), 1u);
    EXPECT_FALSE(desktop_.FileDialogs()[0].save);
    EXPECT_EQ(desktop_.FileDialogs()[0].request.initialName, "initial.txt");
    EXPECT_EQ(desktop_.FileDialogs()[0].request.filter,
              "Corvan NodeSettings (*.txt)|*.txt|All files (*.*)|*.*|");
    // Each part: selected (250, 250), 250 ms wait, back to part 0 (250, 250).
    EXPECT_EQ(desktop_.TotalSleepMs(), 12 * 1250);
    EXPECT_EQ(target_.Recorded().selections.size(), 24u);
    EXPECT_EQ(desktop_.ProgressReports().back().done, desktop_.ProgressReports().back().total);
}

TEST_F(DownloadTest, EarlyEnds) {
    struct Case {
        const char* what;
        std::string password;
        bool fileExists;
        bool dialogCancelled;
        std::deque<MessageAnswer> answers;
        std::vector<std::string> texts;
        std::string lastCaption;
        bool clearPassword;
        bool dialogShown;
    };
    const std::vector<Case> cases = {
        {"wrong password",
         "Quorka ",
         true,
         false,
         {},
         {"Wrong password!"},
         "Download status",
         false,
         false},
        {"password is case-sensitive",
         "quorka",
         true,
         false,
         {},
         {"Wrong password!"},
         "Download status",
         false,
         false},
        {"cancelled dialog", "Quorka", true, true, {}, {}, "", true, true},
        {"missing file", "Quorka", false, false, {}, {"File not found!"}, "", true, true},
        {"download declined",
         "Quorka",
         true,
         false,
         {MessageAnswer::No},
         {"Download from file to node?", "Download aborted"},
         "Download status",
         true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_ = ScriptedDesktop();
        Script(c.dialogCancelled ? std::nullopt : std::optional(path_), c.answers);
        std::filesystem::remove(path_);
        if (c.fileExists) {
            WriteBytes(path_, kId + "* nciSwitchExt1 (38)\n1\n");
        }
        target_.StartRecording();

        const auto result = Run(c.password);

        EXPECT_EQ(desktop_.MessageTexts(), c.texts);
        if (!desktop_.Messages().empty()) {
            EXPECT_EQ(desktop_.Messages().back().caption, c.lastCaption);
        }
        EXPECT_EQ(result.clearPassword, c.clearPassword);
        EXPECT_EQ(desktop_.FileDialogs().size(), c.dialogShown ? 1u : 0u);
        EXPECT_TRUE(target_.Recorded().writes.empty());
        EXPECT_FALSE(result.Completed());
    }
}

// A folder, a pipe and a file larger than any settings file are not opened as one (a pipe
// would wait for a writer for good).
TEST_F(DownloadTest, DirectoryPipeAndHugeFileAreNotFound) {
    const auto pipe = dir_ / "pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    WriteBytes(path_, kId);
    std::filesystem::resize_file(path_, 16 * 1024 * 1024 + 1);
    for (const std::string& file : {dir_.string(), pipe.string(), std::string(path_)}) {
        desktop_ = ScriptedDesktop();
        Script(file, {});
        target_.StartRecording();
        Run();
        EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"File not found!"}) << file;
        EXPECT_TRUE(target_.Recorded().writes.empty());
    }
}

TEST_F(DownloadTest, ReadOnlyFileDownloads) {
    WriteBytes(path_, kId + "* nciSwitchExt1 (38)\n513\n");
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    Script();
    const auto result = Run();
    EXPECT_TRUE(result.Completed());
    EXPECT_EQ(target_.Raw(nv::kSwitchExt1), (std::vector<std::uint8_t>{0x02, 0x01}));
}

TEST_F(DownloadTest, ClosingMessage) {
    struct Case {
        const char* what;
        std::string file;
        std::deque<MessageAnswer> answers;
        std::string message;
        std::size_t configurationWrites;
    };
    const std::string switch1 = "* nciSwitchExt1 (38)\n1\n";
    const std::string foreignId = "- 90 56 69 72 65 6F 4B 2B\n";
    const std::vector<Case> cases = {
        {"empty file", "", {MessageAnswer::Yes}, "Download not completed", 0},
        {"no Program ID line", switch1, {MessageAnswer::Yes}, "Download not completed", 0},
        {"foreign Program ID declined",
         foreignId + switch1,
         {MessageAnswer::Yes, MessageAnswer::No},
         "Download not completed",
         0},
        {"foreign Program ID accepted",
         foreignId + switch1,
         {MessageAnswer::Yes, MessageAnswer::Yes},
         "Download completed",
         1},
        {"accepted, then declined",
         kId + switch1 + foreignId + switch1,
         {MessageAnswer::Yes, MessageAnswer::No},
         "Download not completed",
         1},
        {"value line with too few fields",
         kId + "* nciCalcValve1 (41)\n4, 0, 0\n" + switch1,
         {MessageAnswer::Yes},
         "Download not completed",
         1},
        {"blank value line",
         kId + "* nciSwitchExt1 (38)\n  \n",
         {MessageAnswer::Yes},
         "Download not completed",
         0},
        {"value line too long",
         kId + "* nciSwitchExt1 (38)\n" + std::string(115, '1') + "\n",
         {MessageAnswer::Yes},
         "Download not completed",
         0},
        {"label without value line",
         kId + "* nciSwitchExt2 (39)\n" + switch1,
         {MessageAnswer::Yes},
         "Download completed",
         1},
        // Written when first met, then once more with its last value: not once a repeat.
        {"one block repeated",
         kId +
             [&] {
                 std::string repeats;
                 for (int i = 0; i < 200; ++i) {
                     repeats += switch1;
                 }
                 return repeats;
             }() +
             "* nciSwitchExt1 (38)\n513\n",
         {MessageAnswer::Yes},
         "Download completed",
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_ = ScriptedDesktop();
        Script(path_, c.answers);
        target_.StartRecording();
        WriteBytes(path_, c.file);

        const auto result = Run();

        ASSERT_FALSE(desktop_.Messages().empty());
        EXPECT_EQ(desktop_.Messages().back().text, c.message);
        EXPECT_EQ(desktop_.Messages().back().caption, "Download status");
        EXPECT_EQ(result.Completed(), c.message == "Download completed");
        EXPECT_EQ(target_.Recorded().ConfigurationWrites().size(), c.configurationWrites);
    }
    EXPECT_EQ(target_.Raw(nv::kSwitchExt1), (std::vector<std::uint8_t>{0x02, 0x01}))
        << "the last block of the file counts";
}

TEST_F(DownloadTest, ForeignProgramIdAsksTheMismatchQuestion) {
    WriteBytes(path_, "- 90 56 69 72 65 6F 4B 2B\n* nciSwitchExt1 (38)\n1\n");
    Script(path_, {MessageAnswer::Yes, MessageAnswer::No});
    Run();
    ASSERT_EQ(desktop_.Messages().size(), 3u);
    EXPECT_EQ(desktop_.Messages()[1].text,
              "ProgramID does not match!\nDo you want to download anyway?");
    EXPECT_EQ(desktop_.Messages()[1].caption, "ProgramID does not match!");
    EXPECT_EQ(desktop_.Messages()[1].buttons, platform::MessageButtons::YesNo);
    EXPECT_TRUE(target_.Recorded().writes.empty());
}

TEST_F(DownloadTest, FailedWritesAreCountedAndReported) {
    SimNode source;
    FillRandom(source, 3);
    Export(source);
    target_.FailWrite(nv::kTemp2PlugIn);
    target_.FailPartWrite(2);
    target_.FailPartWrite(11);
    Script();

    const auto result = Run();

    EXPECT_EQ(desktop_.Messages().back().text, "Download not completed. 3 NV write errors");
    EXPECT_EQ(desktop_.Messages().back().caption, "Download status");
    EXPECT_EQ(result.writeErrors, 3);
    EXPECT_FALSE(result.Completed());
    // The other blocks are written all the same.
    EXPECT_EQ(target_.Raw(nv::kTemp1PlugIn), source.Raw(nv::kTemp1PlugIn));
    EXPECT_EQ(target_.Part(12), source.Part(12));
}

TEST_F(DownloadTest, FailedPartSelectionWritesNoPart) {
    SimNode source;
    FillRandom(source, 4);
    Export(source);
    target_.FailWrite(nv::kPartSelector);
    const auto before = target_.Part(1);
    Script();

    const auto result = Run();

    // Each part: the selection and the return to part 0 failed.
    EXPECT_EQ(desktop_.Messages().back().text, "Download not completed. 24 NV write errors");
    for (const auto& write : target_.Recorded().writes) {
        EXPECT_NE(write.index, nv::kPluginCnf);
    }
    EXPECT_EQ(target_.Part(1), before);
    EXPECT_EQ(target_.Raw(nv::kCalcValve2), source.Raw(nv::kCalcValve2));
    EXPECT_EQ(result.writtenVariables, 7);
}

TEST_F(DownloadTest, ThirteenthPartIsNotWritten) {
    std::string file = kId;
    for (int block = 1; block <= 14; ++block) {
        file += kPartLabel + PartLine(block);
    }
    WriteBytes(path_, file);
    Script();

    const auto result = Run();

    EXPECT_LE(target_.Recorded().MaxSelection(), 12);
    for (int part = 1; part <= nv::kPartCount; ++part) {
        EXPECT_EQ(target_.Part(part)[0], part);
        EXPECT_EQ(target_.Part(part)[30], static_cast<std::uint8_t>(part * 100 + 15));
    }
    EXPECT_EQ(target_.Recorded().ConfigurationWrites().size(), 12u);
    EXPECT_EQ(target_.Selector(), 0);
    EXPECT_EQ(desktop_.Messages().back().text, "Download not completed");
    EXPECT_FALSE(result.Completed());
}

// An export whose reads failed has label lines without value lines. Downloading it writes
// what the file holds and leaves the rest of the node as it was; the part numbering still
// follows the blocks.
TEST_F(DownloadTest, LabelsWithoutValueLinesWriteNothingForTheirVariable) {
    SimNode source;
    FillRandom(source, 5);
    source.FailRead(nv::kSwitchExt1);
    source.FailPartRead(3);
    Export(source);
    const auto switchBefore = target_.Raw(nv::kSwitchExt1);
    const auto part3Before = target_.Part(3);
    Script();

    const auto result = Run();

    EXPECT_EQ(target_.Raw(nv::kSwitchExt1), switchBefore);
    EXPECT_EQ(target_.Raw(nv::kSwitchExt2), source.Raw(nv::kSwitchExt2));
    EXPECT_EQ(target_.Part(3), part3Before);
    EXPECT_EQ(target_.Part(4), source.Part(4));
    EXPECT_EQ(target_.Part(12), source.Part(12));
    EXPECT_EQ(result.writtenVariables, 17);
    EXPECT_EQ(result.missingValues, 2);
    EXPECT_EQ(desktop_.Messages().back().text, "Download completed");
}

TEST_F(DownloadTest, ShortValueLineIsNotWritten) {
    const std::vector<std::uint8_t> before = target_.Raw(nv::kTemp1PlugIn);
    // Fifteen fields instead of sixteen, and a comma without its space.
    WriteBytes(path_,
               kId + "* nciTemp1PlugIn (36)\n1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15\n" +
                   "* nciTemp2PlugIn (37)\n1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,16\n" +
                   "* nciCalcValve2 (42)\n1, 2, 3, 4\n");
    Script();
    const auto result = Run();

    EXPECT_EQ(target_.Raw(nv::kTemp1PlugIn), before);
    // The last field keeps its first character dropped, as the format's separator rule says.
    EXPECT_EQ(target_.Raw(nv::kTemp2PlugIn)[30], 6);
    EXPECT_EQ(target_.Raw(nv::kCalcValve2), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(result.refusedBlocks, 1);
    EXPECT_EQ(desktop_.Messages().back().text, "Download not completed");
}

TEST_F(DownloadTest, ReorderedBlocks) {
    SimNode source;
    FillRandom(source, 11);
    Export(source);
    // Swap the blocks of nciSwitchExt1 and nciTemp1PlugIn, and of parts 1 and 2.
    std::string text = ReadBytes(path_);
    auto block = [&text](std::string_view label) {
        const std::size_t start = text.rfind('\n', text.find(label)) + 1;
        const std::size_t end = text.find("\r\n\r\n", start) + 4;
        return std::pair{start, end};
    };
    auto swap = [&text, &block](std::string_view first, std::string_view second) {
        const auto [a0, a1] = block(first);
        const auto [b0, b1] = block(second);
        const std::string a = text.substr(a0, a1 - a0);
        const std::string b = text.substr(b0, b1 - b0);
        text = text.substr(0, a0) + b + text.substr(a1, b0 - a1) + a + text.substr(b1);
    };
    swap("* nciTemp1PlugIn", "* nciSwitchExt1");
    swap("** Part 1 ", "** Part 2 ");
    WriteBytes(path_, text);
    Script();

    Run();

    for (const int index : kSingles) {
        if (index != nv::kTimePump3) {
            EXPECT_EQ(target_.Raw(index), source.Raw(index)) << "NV " << index;
        }
    }
    EXPECT_EQ(target_.Part(1), source.Part(2));
    EXPECT_EQ(target_.Part(2), source.Part(1));
    EXPECT_EQ(target_.Part(3), source.Part(3));
}

}  // namespace
}  // namespace settings_test
