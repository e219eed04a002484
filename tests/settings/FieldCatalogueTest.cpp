// The field catalogue is the table of field declarations: a field of every declared group is
// listed under its name and decodes its bytes as the page shows them, and a factory export's
// calendar parts and calibration variables leave unnamed only what no page shows or writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "node/FieldCatalogue.h"
#include "settings/SettingsView.h"

namespace {

struct CatalogueCase {
    const char* label;
    node::Place place;
    int offset;
    std::vector<std::uint8_t> bytes;  // at the offset
    const char* value;
};

const CatalogueCase kCases[] = {
    {"calendar 1 start, Monday", node::Part(9), 6, {0x21}, "8:15"},
    {"calendar 2 stop, Sunday", node::Part(11), 3, {0x40}, "16:00"},
    {"holiday stop", node::Part(11), 29, {0x60}, "24:00"},
    {"presence stop, Monday", node::Part(12), 5, {0x44}, "17:00"},
    {"hot-water tank start, Saturday", node::Part(12), 28, {0x18}, "6:00"},
    {"calendar lead byte, written as 0", node::Part(10), 0, {0x00}, "0"},
    {"delay before day temperature, circuit 2", node::Variable(36), 17, {0, 1, 0, 5}, "1:05"},
    {"valve calibration time, circuit 1", node::Variable(42), 0, {0x06, 0x2D}, "6:45"},
    {"override code, circuit 2", node::Variable(40), 0, {0x00, 0x03}, "Day"},
    {"override code, circuit 1",
     node::Variable(39),
     0,
     {0x00, 0x00},
     "Use manual rotary switch (0)"},
    {"rotary switch position, circuit 1", node::Variable(16), 0, {0x00, 0x05}, "Calender"},
    {"unit operating mode, circuit 2", node::Variable(23), 0, {0xFF}, "?? (-1)"},
    {"calendar state, circuit 1", node::Variable(4), 0, {0x00, 0x04}, "Holiday active"},
    {"calendar state, circuit 2", node::Variable(5), 0, {0x00, 0x07}, "7"},
    {"presence state, circuit 2", node::Variable(9), 0, {0x01}, "unoccupied"},
    {"variant word", node::Part(1), 29, {0x00, 0x02}, "2"},
};

class FieldCatalogueTest : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(FieldCatalogueTest, ListsTheFieldAndDecodesItsBytes) {
    const CatalogueCase& c = GetParam();
    std::array<std::uint8_t, 32> bytes{};
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.offset);
    int found = 0;
    for (const node::CatalogueEntry& entry : node::FieldsAt(c.place)) {
        if (node::Label(entry) == c.label) {
            ++found;
            EXPECT_EQ(entry.field.offset, c.offset);
            EXPECT_EQ(node::ValueText(entry.field, bytes.data()), c.value);
        }
    }
    EXPECT_EQ(found, 1);
}

INSTANTIATE_TEST_SUITE_P(DeclaredGroups, FieldCatalogueTest, ::testing::ValuesIn(kCases));

// Part 10's calendar 2 positions and the bytes after its days, part 12's last two bytes and
// bytes 2-3 of the calibration variables belong to no page.
TEST(FieldCatalogueExportTest, CalendarsAndCalibrationLeaveOnlyUnusedBytesUnnamed) {
    const settings::FileSnapshot read = [] {
        std::istringstream in(settings_test::FactoryFileText());
        return settings::ReadFileSnapshot(in, in.str().size());
    }();
    const std::set<std::string> checked = {"nciCalcValve1",        "nciCalcValve2",
                                           "nviPluginCnf part 9",  "nviPluginCnf part 10",
                                           "nviPluginCnf part 11", "nviPluginCnf part 12"};
    std::vector<std::string> unnamed;
    for (const settings::FieldRow& row : settings::DecodeRows(read.snapshot)) {
        if (checked.contains(row.variable) && row.name.starts_with("unnamed")) {
            unnamed.push_back(row.variable + " / " + row.name);
        }
    }
    EXPECT_EQ(unnamed, (std::vector<std::string>{
                           "nciCalcValve1 / unnamed bytes 2-3",
                           "nciCalcValve2 / unnamed bytes 2-3",
                           "nviPluginCnf part 10 / unnamed bytes 3-4",
                           "nviPluginCnf part 10 / unnamed bytes 7-8",
                           "nviPluginCnf part 10 / unnamed bytes 11-12",
                           "nviPluginCnf part 10 / unnamed bytes 15-16",
                           "nviPluginCnf part 10 / unnamed bytes 19-20",
                           "nviPluginCnf part 10 / unnamed bytes 23-24",
                           "nviPluginCnf part 10 / unnamed bytes 27-30",
                           "nviPluginCnf part 12 / unnamed bytes 29-30",
                       }));
}

}  // namespace
