// The Exercise / Digital Valve pages of both circuits against the simulated node: Read on show
// (part 7 selected only when needed, part 5 always, then the calibration variable), hours,
// tenths of a second and the "H:MM" calibration time shown and typed, a Write that changes only
// the page's bytes of parts 7 and 5 and bytes 0-1 of its calibration variable, and a failed part
// selection.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "res/ExerciseDialogs.h"

namespace {

using host::Bytes;
using namespace res::exercise;

struct TwinCase {
    const char* name;
    std::function<ExercisePage&(CSheet&)> page;
    int firstByte;  // of the page's four bytes in parts 7 and 5
    int calibrationNv;
    int otherCalibrationNv;
};

void PrintTo(const TwinCase& twin, std::ostream* os) {
    *os << twin.name;
}

const TwinCase kTwins[] = {
    {"Page25", [](CSheet& s) -> ExercisePage& { return s.exercise1; }, 1, 42, 43},
    {"Page26", [](CSheet& s) -> ExercisePage& { return s.exercise2; }, 13, 43, 42},
};

void PutWord(Bytes& bytes, int at, int word) {
    bytes[at] = static_cast<std::uint8_t>(word >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(word);
}

// The words of the page's edits 224 to 227 and its calibration bytes.
struct Stored {
    int pumpIdle;
    int valveIdle;
    int running;
    int pause;
    std::uint8_t hour;
    std::uint8_t minute;
};

class ExercisePageTest : public SheetFixture, public ::testing::WithParamInterface<TwinCase> {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        desktop.onLine = [this](const std::string& line) { calls.push_back(line); };
        Open();
        if (sheet->GetPageIndex(&Page()) < 0) {
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
    }

    const TwinCase& Twin() const { return GetParam(); }
    ExercisePage& Page() { return Twin().page(*sheet); }
    ExercisePage& ShowPage() { return Show(Page()); }

    // Patterns in all twelve parts and both calibration variables, then the page's values.
    void StorePatternWith(const Stored& s) {
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(0x10 * p + 1));
        }
        node.SetRaw(42, {0x42, 0x43, 0x44, 0x45});
        node.SetRaw(43, {0x52, 0x53, 0x54, 0x55});
        Store(s);
    }
    void Store(const Stored& s) {
        const int at = Twin().firstByte;
        Bytes part7 = PartBytes(node.Part(7));
        PutWord(part7, at, s.pumpIdle);
        PutWord(part7, at + 2, s.valveIdle);
        node.SetPart(7, part7);
        Bytes part5 = PartBytes(node.Part(5));
        PutWord(part5, at, s.running);
        PutWord(part5, at + 2, s.pause);
        node.SetPart(5, part5);
        Bytes calibration = node.Raw(Twin().calibrationNv);
        calibration[0] = s.hour;
        calibration[1] = s.minute;
        node.SetRaw(Twin().calibrationNv, calibration);
    }

    // Everything a Write may touch, to compare before and after.
    std::vector<Bytes> Snapshot() const {
        std::vector<Bytes> all;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            all.push_back(PartBytes(node.Part(p)));
        }
        all.push_back(node.Raw(42));
        all.push_back(node.Raw(43));
        return all;
    }
};

TEST_P(ExercisePageTest, ShowReadsPart7OnlySelectedWhenNeededThenPart5ThenTheCalibration) {
    const TwinCase& t = Twin();
    const std::string cal = "ReadNv " + std::to_string(t.calibrationNv) + " 32 -> 0";
    const struct {
        int selector;
        std::vector<std::string> calls;
    } cases[] = {
        {0,
         {"ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 07 -> 0", "Sleep 250",
          "ReadNv 45 32 -> 0", "Sleep 250", "WriteNv 44 00 05 -> 0", "Sleep 250",
          "ReadNv 45 32 -> 0", cal}},
        {7,
         {"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0", "Sleep 250", "WriteNv 44 00 05 -> 0",
          "Sleep 250", "ReadNv 45 32 -> 0", cal}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        StorePatternWith({168, 1000, 1205, 309, 6, 5});
        node.SetSelector(c.selector);
        sheet->SetActivePage(0);
        ExercisePage& page = ShowPage();
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(page.GetDlgItemText(kPumpIdleTime), "168");
        EXPECT_EQ(page.GetDlgItemText(kValveIdleTime), "1000");
        EXPECT_EQ(page.GetDlgItemText(kValveRunningTime), "120");
        EXPECT_EQ(page.GetDlgItemText(kValvePause), "30");
        EXPECT_EQ(page.GetDlgItemText(kCalibrationTime), "6:05");
        EXPECT_EQ(node.Selector(), 5);
        EXPECT_FALSE(page.IsTimerRunning(1));
        EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");

        Forget();
        sheet->SetActivePage(0);  // hiding does nothing
        EXPECT_TRUE(calls.empty());
    }
}

TEST_P(ExercisePageTest, StoredValuesShowAsHoursWholeSecondsAndHourColonMinute) {
    ExercisePage& page = ShowPage();
    const struct {
        Stored stored;
        const char* hours;
        const char* seconds;
        const char* time;
    } cases[] = {
        {{4464, 4464, 1205, 1205, 6, 5}, "4464", "120", "6:05"},
        {{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 6, 45}, "65535", "6553", "6:45"},
        {{0, 0, 9, 9, 0, 0}, "0", "0", "0:00"},
        {{1, 1, 10, 10, 23, 10}, "1", "1", "23:10"},
        {{2, 2, 19, 19, 0xFF, 0xFB}, "2", "1", "-1:0-5"},  // signed bytes
        {{3, 3, 20, 20, 0x80, 0x7F}, "3", "2", "-128:127"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        Store(c.stored);
        Click(page, res::common::kRead);
        EXPECT_EQ(page.GetDlgItemText(kPumpIdleTime), c.hours);
        EXPECT_EQ(page.GetDlgItemText(kValveIdleTime), c.hours);
        EXPECT_EQ(page.GetDlgItemText(kValveRunningTime), c.seconds);
        EXPECT_EQ(page.GetDlgItemText(kValvePause), c.seconds);
        EXPECT_EQ(page.GetDlgItemText(kCalibrationTime), c.time);
    }
}

TEST_P(ExercisePageTest, TypedTextsAreStoredTruncatedWithoutChecks) {
    const TwinCase& t = Twin();
    ExercisePage& page = ShowPage();
    const struct {
        const char* hours;
        const char* seconds;
        const char* time;
        Stored stored;
        const char* timeBack;
    } cases[] = {
        {"70000", "120.5", "7:30", {4464, 4464, 1205, 1205, 7, 30}, "7:30"},
        {"12abc", "30.9", "7", {12, 12, 309, 309, 0, 7}, "0:07"},
        {"-1", "-0.5", "25:75", {0xFFFF, 0xFFFF, 0xFFFB, 0xFFFB, 25, 75}, "25:75"},
        {"abc", "abc", "-1:-5", {0, 0, 0, 0, 0xFF, 0xFB}, "-1:0-5"},
        {"3.9", "6553.5", "1:2:3", {3, 3, 65535, 65535, 1, 2}, "1:02"},
        {" 8", "1e2", "x:300", {8, 8, 1000, 1000, 0, 300 & 0xFF}, "0:44"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        StorePatternWith({0x1111, 0x2222, 0x3333, 0x4444, 0x55, 0x66});
        Bytes part7 = PartBytes(node.Part(7));
        Bytes part5 = PartBytes(node.Part(5));
        Bytes calibration = node.Raw(t.calibrationNv);
        for (int id : {kPumpIdleTime, kValveIdleTime}) {
            page.SetDlgItemText(id, c.hours);
        }
        for (int id : {kValveRunningTime, kValvePause}) {
            page.SetDlgItemText(id, c.seconds);
        }
        page.SetDlgItemText(kCalibrationTime, c.time);
        Click(page, res::common::kWrite);

        PutWord(part7, t.firstByte, c.stored.pumpIdle);
        PutWord(part7, t.firstByte + 2, c.stored.valveIdle);
        PutWord(part5, t.firstByte, c.stored.running);
        PutWord(part5, t.firstByte + 2, c.stored.pause);
        calibration[0] = c.stored.hour;
        calibration[1] = c.stored.minute;
        EXPECT_EQ(PartBytes(node.Part(7)), part7);
        EXPECT_EQ(PartBytes(node.Part(5)), part5);
        EXPECT_EQ(node.Raw(t.calibrationNv), calibration);
        EXPECT_EQ(page.GetDlgItemText(kCalibrationTime), c.timeBack);  // Write ends with Read
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    }
}

TEST_P(ExercisePageTest, WriteKeepsUntouchedValuesAndChangesOnlyThePagesBytesInOrder) {
    const TwinCase& t = Twin();
    // Tenths shown as whole seconds (1205 shows 120) and a minute below 0 (shown "0-5") would
    // change if their texts were stored again.
    StorePatternWith({4464, 65535, 1205, 1209, 0x06, 0xFB});
    const std::vector<Bytes> before = Snapshot();
    ExercisePage& page = ShowPage();
    ASSERT_EQ(page.GetDlgItemText(kValveRunningTime), "120");

    Forget();
    Click(page, res::common::kWrite);
    const std::string cal = std::to_string(t.calibrationNv);
    std::vector<std::string> brief;  // writes of NV 45 and the calibration without their bytes
    for (const std::string& line : calls) {
        const bool data = line.rfind("WriteNv 45 ", 0) == 0 || line.rfind("WriteNv " + cal, 0) == 0;
        brief.push_back(data ? line.substr(0, 10) : line);
    }
    EXPECT_EQ(brief, (std::vector<std::string>{
                         "ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 07 -> 0", "Sleep 250",
                         "ReadNv 45 32 -> 0", "WriteNv 45", "Sleep 250", "WriteNv 44 00 05 -> 0",
                         "Sleep 250", "ReadNv 45 32 -> 0", "WriteNv 45",
                         "ReadNv " + cal + " 32 -> 0", "WriteNv " + cal,
                         // the closing Read
                         "ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 07 -> 0", "Sleep 250",
                         "ReadNv 45 32 -> 0", "Sleep 250", "WriteNv 44 00 05 -> 0", "Sleep 250",
                         "ReadNv 45 32 -> 0", "ReadNv " + cal + " 32 -> 0"}));
    // 31 bytes to NV 45, 4 to the calibration variable.
    const auto sent = [](const std::string& line) {
        return (line.rfind(" -> ") - line.find(' ', 8)) / 3;
    };
    EXPECT_EQ(sent(calls[5]), 31u);
    EXPECT_EQ(sent(calls[10]), 31u);
    EXPECT_EQ(sent(calls[12]), 4u);
    EXPECT_EQ(Snapshot(), before);

    // Typed values change the page's bytes and nothing else.
    page.SetDlgItemText(kPumpIdleTime, "10");
    page.SetDlgItemText(kValveRunningTime, "121");
    page.SetDlgItemText(kCalibrationTime, "7:30");
    Click(page, res::common::kWrite);
    std::vector<Bytes> expected = before;
    PutWord(expected[6], t.firstByte, 10);
    PutWord(expected[4], t.firstByte, 1210);
    Bytes& calibration = expected[t.calibrationNv == 42 ? 12 : 13];
    calibration[0] = 7;
    calibration[1] = 30;
    EXPECT_EQ(Snapshot(), expected);
    EXPECT_EQ(node.Selector(), 5);
}

TEST_P(ExercisePageTest, FailedPartSelectionWritesNoPartAndKeepsTheEdits) {
    const TwinCase& t = Twin();
    ExercisePage& page = ShowPage();
    StorePatternWith({1, 2, 30, 40, 5, 6});
    node.SetSelector(1);  // NV 45 shows part 1, which is not the page's
    node.FailWrite(nv::kPartSelector);
    const std::vector<Bytes> before = Snapshot();
    for (int id : {kPumpIdleTime, kValveIdleTime, kValveRunningTime, kValvePause}) {
        page.SetDlgItemText(id, "99");
    }
    page.SetDlgItemText(kCalibrationTime, "8:15");
    Forget();
    Click(page, res::common::kWrite);

    for (const auto& line : CallsOf("WriteNv")) {
        EXPECT_NE(line.rfind("WriteNv 45 ", 0), 0u) << line;
    }
    std::vector<Bytes> expected = before;
    Bytes& calibration = expected[t.calibrationNv == 42 ? 12 : 13];
    calibration[0] = 8;  // the calibration variable needs no part: its step still runs
    calibration[1] = 15;
    EXPECT_EQ(Snapshot(), expected);
    for (int id : {kPumpIdleTime, kValveIdleTime, kValveRunningTime, kValvePause}) {
        EXPECT_EQ(page.GetDlgItemText(id), "99") << id;
    }
    EXPECT_EQ(page.GetDlgItemText(kCalibrationTime), "8:15");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

INSTANTIATE_TEST_SUITE_P(Twins, ExercisePageTest, ::testing::ValuesIn(kTwins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
