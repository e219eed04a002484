// The settings-file viewer's core: a file read as the download reads it (with the lines it
// would skip or refuse), values named and decoded through the node fields, and comparisons
// that tell a change from precision the settings file cannot carry.

#include <gtest/gtest.h>

#include <sstream>

#include "TestFiles.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/SettingsView.h"
#include "sim/SimNode.h"

namespace settings_test {
namespace {

using settings::Difference;
using settings::FileSnapshot;
using settings::LineNote;

FileSnapshot ReadText(std::string_view text) {
    std::istringstream in{std::string(text)};
    return settings::ReadFileSnapshot(in, text.size());
}

const settings::FieldRow* FindRow(const std::vector<settings::FieldRow>& rows,
                                  std::string_view variable, std::string_view name) {
    for (const auto& row : rows) {
        if (row.variable == variable && row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

struct ExpectedRow {
    const char* variable;
    const char* name;
    const char* value;
    const char* raw;
    bool exact;
};

// Checked by hand against the factory value lines.
constexpr ExpectedRow kFactoryRows[] = {
    {"nciTemp1PlugIn", "number of curve points", "2", "02", true},
    {"nciTemp1PlugIn", "curve point outdoor temperature, point 1", "-12.0 °C", "FB 50", true},
    {"nciTemp1PlugIn", "curve point forward temperature, point 1", "70.0 °C", "1B 58", true},
    {"nciTemp1PlugIn", "night offset", "5.0 °C", "01 F4", true},
    {"nciTemp2PlugIn", "maximum return temperature, circuit 2", "33.0 °C", "0C E4", true},
    {"nciSwitchExt1", "override code, circuit 1", "Use manual rotary switch", "00 FF", true},
    {"nciTimePump3", "running time of pump Mp3", "300 s", "0B B8", false},
    {"nciCalcValve1", "valve calibration time, circuit 1", "4:00", "04 00", true},
    {"nciCalcValve1", "unnamed bytes 2-3", "", "00 00", true},
    {"nviPluginCnf part 1", "frost protection", "on", "D8", true},
    {"nviPluginCnf part 1", "summer stop", "off", "D8", true},
    {"nviPluginCnf part 1", "unnamed bits of byte 2", "C0", "D8", true},
    {"nviPluginCnf part 1", "variant word", "2", "00 02", true},
    {"nviPluginCnf part 3", "time before pump stop", "0 s", "00 05", true},
    {"nviPluginCnf part 6", "pressure sensor maximum", "10000 Pa", "27 10", true},
    {"nviPluginCnf part 6", "cascade changeover output, circuit 1", "25 %", "32", true},
    {"nviPluginCnf part 8", "PID P, circuit 1", "10.0", "00 64", true},
    {"nviPluginCnf part 12", "unnamed bytes 29-30", "", "00 00", true},
};

TEST(SettingsViewTest, FactoryFileDecodesAsThePagesShowIt) {
    const FileSnapshot read = ReadText(FactoryFileText());
    EXPECT_TRUE(read.notes.empty());
    EXPECT_EQ(read.snapshot.programId, GetProgramIdText());
    EXPECT_EQ(read.snapshot.nodeName, "Boiler1");
    const auto rows = settings::DecodeRows(read.snapshot);
    for (const ExpectedRow& expected : kFactoryRows) {
        SCOPED_TRACE(std::string(expected.variable) + " / " + expected.name);
        const settings::FieldRow* row = FindRow(rows, expected.variable, expected.name);
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->present);
        EXPECT_EQ(row->value, expected.value);
        EXPECT_EQ(row->raw, expected.raw);
        EXPECT_EQ(row->exact, expected.exact);
    }
    // nciTimePump3 is the only value the file does not carry exactly.
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return !r.exact; }), 1);
}

std::string Label(int block) {
    std::string label(settings::SettingsFile::Blocks()[static_cast<std::size_t>(block)].label);
    label.pop_back();
    return label;
}

// A file with one line of every kind the download skips or refuses.
std::string DamagedFile() {
    std::string text = Label(0) + "\n1, 2\n";                   // 1-2
    text += "- 90 56 69 72 65 6F 4B 2A\n";                      // 3
    text += "* nciFoo     (99) - SNVT_count\n1\n";              // 4-5
    text += Label(2) + "\n3\n";                                 // 6-7
    text += Label(1) + "\n1, 2, 3\n";                           // 8-9
    text += Label(5) + "\n1, " + std::string(120, '0') + "\n";  // 10-11
    text += Label(6) + "\n";                                    // 12
    text += Label(2) + "\n7\n";                                 // 13-14
    for (int part = 1; part <= 13; ++part) {                    // 15-40
        text += Label(7) + "\n0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9\n";
    }
    text += "- 00 11 22 33 44 55 66 77\n";  // 41
    text += Label(3) + "\n";                // 42, and the file ends
    return text;
}

struct DamagedCase {
    const char* name;
    std::string text;
    std::uint64_t extraSize;  // bytes the stream claims beyond its text
    std::vector<LineNote> notes;
};

TEST(SettingsViewTest, ListsEveryLineTheDownloadWouldSkipOrRefuse) {
    const std::string ours = GetProgramIdText();
    const DamagedCase cases[] = {
        {"damaged lines",
         DamagedFile(),
         0,
         {{1, "label before any Program ID line: skipped"},
          {4, "unknown variable \"nciFoo\": skipped"},
          {8, "nciTemp2PlugIn: value line without all its 16 values, refused"},
          {10, "nciCalcValve1: value line longer than 114 characters, refused"},
          {12, "nciCalcValve2: no value line, nothing to write"},
          {13, "nciSwitchExt1 again: replaces the value of line 6"},
          {39, "nviPluginCnf part 13: the node has 12 parts, refused"},
          {41, "Program ID 00 11 22 33 44 55 66 77 is not the node kind's (" + ours +
                   "): the download asks before it writes the blocks that follow"},
          {42, "nciSwitchExt2: no value line, nothing to write"}}},
        {"no Program ID",
         Label(2) + "\n3\n",
         0,
         {{1, "label before any Program ID line: skipped"},
          {0, "no Program ID line: the download writes nothing"}}},
        {"broken off",
         FactoryFileText(),
         10,
         {{0,
           "the file could not be read to its end: the download refuses what it held "
           "beyond"}}},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.text);
        const FileSnapshot read = settings::ReadFileSnapshot(in, c.text.size() + c.extraSize);
        ASSERT_EQ(read.notes.size(), c.notes.size());
        for (std::size_t i = 0; i < c.notes.size(); ++i) {
            EXPECT_EQ(read.notes[i].line, c.notes[i].line) << i;
            EXPECT_EQ(read.notes[i].text, c.notes[i].text) << i;
        }
    }

    // What the viewer takes is what the download writes: the later nciSwitchExt1, twelve parts.
    const FileSnapshot read = ReadText(DamagedFile());
    EXPECT_EQ(read.snapshot.blocks[2], (std::vector<std::uint8_t>{0x00, 0x07}));
    EXPECT_FALSE(read.snapshot.blocks[1]);
    EXPECT_FALSE(read.snapshot.blocks[5]);
    EXPECT_EQ(read.snapshot.blocks[18]->at(30), 9);
    const auto dir = FreshDirectory();
    WriteBytes(dir / "damaged.txt", DamagedFile());
    host::SimNode node;
    platform::ScriptedDesktop desktop;
    desktop.QueueFile((dir / "damaged.txt").string());
    desktop.QueueAnswer(true);  // download from file to node
    desktop.QueueAnswer(true);  // the foreign Program ID
    const auto result =
        settings::DownloadOperation(host::SimLink(node).Link(), desktop).Run("Quorka", "");
    EXPECT_EQ(result.refusedBlocks, 3);
    EXPECT_EQ(result.missingValues, 2);
    EXPECT_EQ(node.Raw(nv::kSwitchExt1), (host::Bytes{0x00, 0x07}));
}

settings::Snapshot NodeSnapshot(host::SimNode& node, int expectedReadErrors = 0) {
    platform::ScriptedDesktop desktop;
    int readErrors = -1;
    settings::Snapshot snapshot =
        settings::ReadNodeSnapshot(host::SimLink(node).Link(), desktop, readErrors);
    EXPECT_EQ(readErrors, expectedReadErrors);
    return snapshot;
}

std::string WithTimePump3(std::string text, std::string_view line) {
    const std::string label = Label(4) + "\n";
    const std::size_t at = text.find(label) + label.size();
    return text.replace(at, text.find('\n', at) - at, line);
}

TEST(SettingsViewTest, LostTenthsOfTimePump3AreEqualButInexactOnlyAgainstTheNode) {
    host::SimNode node;
    node.SetRaw(nv::kTimePump3, {0x0B, 0xBD});  // 300.5 s
    const settings::Snapshot fromNode = NodeSnapshot(node);
    struct Case {
        const char* name;
        settings::Snapshot a;
        std::string fileLine;  // nciTimePump3 in the factory file
        int differences;
        int inexact;
    };
    settings::Snapshot file3005 = ReadText(WithTimePump3(FactoryFileText(), "300.5")).snapshot;
    const Case cases[] = {
        {"node, file of its export", fromNode, "300.0", 0, 1},
        {"node, file one second off", fromNode, "301.0", 1, 0},
        {"node, file with the tenths", fromNode, "300.5", 0, 0},
        {"two files", file3005, "300.0", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto b = ReadText(WithTimePump3(FactoryFileText(), c.fileLine)).snapshot;
        const settings::Comparison comparison = settings::Compare(c.a, b);
        EXPECT_EQ(comparison.differences, c.differences);
        EXPECT_EQ(comparison.inexact, c.inexact);
    }
}

TEST(SettingsViewTest, ComparisonMarksChangedFieldsAndMissingBlocks) {
    host::SimNode node;
    node.SetRaw(nv::kSwitchExt1, {0x00, 0x03});
    auto part = node.Part(1);
    part[2] ^= 0x04;  // summer stop
    node.SetPart(1, host::Bytes(part.begin(), part.end()));
    node.FailRead(nv::kCalcValve2);
    const settings::Comparison comparison =
        settings::Compare(NodeSnapshot(node, 1), ReadText(FactoryFileText()).snapshot);
    std::vector<std::string> changed;
    for (const auto& row : comparison.rows) {
        if (row.difference == Difference::Different) {
            changed.push_back(row.variable + " / " + row.name + ": " + row.valueA + " -> " +
                              row.valueB);
        }
    }
    EXPECT_EQ(changed, (std::vector<std::string>{
                           "nciSwitchExt1 / override code, circuit 1: Day -> Use manual rotary "
                           "switch",
                           "nciCalcValve2 / valve calibration time, circuit 2:  -> 4:00",
                           "nciCalcValve2 / unnamed bytes 2-3:  -> 00 00",
                           "nviPluginCnf part 1 / summer stop: on -> off",
                       }));
    EXPECT_EQ(settings::ComparisonSummary(comparison), "4 differences");
}

}  // namespace
}  // namespace settings_test
