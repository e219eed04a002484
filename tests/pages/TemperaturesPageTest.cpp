// The Temperatures pages of both circuits against the simulated node: the order of the show
// steps (refresh, Read over parts 2, the settings record and part 3, timer, sensor check), the
// sensor check on show and hide, numbers shown and typed, a Write that changes only the page's
// bytes of parts 2 and 3 and of its settings record in its own order, and a failed part selection.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "res/TemperaturesDialogs.h"

namespace {

using host::Bytes;
using namespace res::temperatures;

struct TwinCase {
    const char* name;
    std::function<TemperaturesPage&(CSheet&)> page;
    SensorControlIds ids;
    int forwardNv;
    int returnNv;
    int statusByte;       // of NV 35, mask 0x08
    int forwardOffsetAt;  // part 2
    int returnOffsetAt;   // part 2
    int lowOffsetAt;      // part 3
    int delayAt;          // part 3
    int recordNv;         // maximum return temperature at 23, dead band at 25
    int otherRecordNv;
};

void PrintTo(const TwinCase& twin, std::ostream* os) {
    *os << twin.name;
}

const TwinCase kTwins[] = {
    {"Page19", [](CSheet& s) -> TemperaturesPage& { return s.temperatures1; }, kCircuit1Ids, 11, 10,
     0, 3, 5, 13, 15, 37, 38},
    {"Page20", [](CSheet& s) -> TemperaturesPage& { return s.temperatures2; }, kCircuit2Ids, 15, 14,
     1, 15, 17, 17, 19, 38, 37},
};

constexpr int kMaxReturnAt = 23;
constexpr int kDeadBandAt = 25;

void PutWord(Bytes& bytes, int at, int word) {
    bytes[at] = static_cast<std::uint8_t>(word >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(word);
}

// Host calls with the bytes of a write replaced by their count: "WriteNv 45 (31 bytes) -> 0".
std::vector<std::string> Brief(const std::vector<std::string>& calls) {
    std::vector<std::string> brief;
    for (const std::string& line : calls) {
        if (line.rfind("WriteNv ", 0) != 0 || line.rfind("WriteNv 44 ", 0) == 0) {
            brief.push_back(line);
            continue;
        }
        const auto bytesAt = line.find(' ', 8) + 1;
        const auto resultAt = line.rfind(" -> ");
        const auto count = (resultAt - bytesAt + 1) / 3;
        brief.push_back(line.substr(0, bytesAt) + "(" + std::to_string(count) + " bytes)" +
                        line.substr(resultAt));
    }
    return brief;
}

// The scripted desktop with timer starts and stops in its transcript, so that the place of the
// timer step among the host calls shows.
class TimerRecordingDesktop : public platform::ScriptedDesktop {
public:
    int StartTimer(int periodMs, std::function<void()> fire) override {
        Record("StartTimer " + std::to_string(periodMs));
        return ScriptedDesktop::StartTimer(periodMs, std::move(fire));
    }
    void StopTimer(int handle) override {
        Record("StopTimer");
        ScriptedDesktop::StopTimer(handle);
    }
};

class TemperaturesPageTest : public SheetFixture, public ::testing::WithParamInterface<TwinCase> {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        platform::Desktop::SetCurrent(&timedDesktop);
        timedDesktop.onLine = [this](const std::string& line) { calls.push_back(line); };
        Open();
        if (sheet->GetPageIndex(&Page()) < 0) {
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
    }

    const TwinCase& Twin() const { return GetParam(); }
    TemperaturesPage& Page() { return Twin().page(*sheet); }
    TemperaturesPage& ShowPage() { return Show(Page()); }
    void Hide() {
        Forget();
        sheet->SetActivePage(0);
    }

    std::vector<int> ForwardControls() const {
        return {Twin().ids.forwardLive, Twin().ids.forwardOffset, kLowForwardOffset,
                kLowForwardDelay, kLowForwardStatus};
    }
    std::vector<int> ReturnControls() const {
        return {Twin().ids.returnLive, Twin().ids.returnOffset, kMaxReturn, kReturnDeadBand};
    }
    // The enabled state of each control, as "1" or "0".
    std::string Enabled(const std::vector<int>& ids) {
        std::string states;
        for (int id : ids) {
            states += Page().IsDlgItemEnabled(id) ? '1' : '0';
        }
        return states;
    }

    // Puts one word into every numeric field of the page, live and configured, and the status
    // byte into NV 35 (the other circuit's byte the opposite).
    void StoreEverywhere(int word, std::uint8_t status) {
        const TwinCase& t = Twin();
        node.SetRaw(t.forwardNv,
                    {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
        node.SetRaw(t.returnNv,
                    {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
        Bytes flags(2, static_cast<std::uint8_t>(~status));
        flags[t.statusByte] = status;
        node.SetRaw(nv::kStatusFlags, flags);
        Bytes part2 = PartBytes(node.Part(2));
        PutWord(part2, t.forwardOffsetAt, word);
        PutWord(part2, t.returnOffsetAt, word);
        node.SetPart(2, part2);
        Bytes part3 = PartBytes(node.Part(3));
        PutWord(part3, t.lowOffsetAt, word);
        PutWord(part3, t.delayAt, word);
        node.SetPart(3, part3);
        Bytes record = node.Raw(t.recordNv);
        PutWord(record, kMaxReturnAt, word);
        PutWord(record, kDeadBandAt, word);
        node.SetRaw(t.recordNv, record);
    }

    TimerRecordingDesktop timedDesktop;

    // The edits that hold signed hundredths.
    std::vector<int> HundredthsEdits() const {
        return {Twin().ids.forwardOffset, Twin().ids.returnOffset, kLowForwardOffset, kMaxReturn,
                kReturnDeadBand};
    }
};

TEST_P(TemperaturesPageTest, ShowRefreshesReadsStartsTheTimerThenChecksTheSensors) {
    const TwinCase& t = Twin();
    node.SetSelector(0);
    StoreEverywhere(0x04D2, 0x08);  // 12.34 °C, delay 1234 minutes, low temperature

    TemperaturesPage& page = ShowPage();

    const std::string fwd = std::to_string(t.forwardNv);
    const std::string ret = std::to_string(t.returnNv);
    const std::string record = std::to_string(t.recordNv);
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "ReadNv " + fwd + " 32 -> 0", "ReadNv " + ret + " 32 -> 0", "ReadNv 35 32 -> 0",
                  "ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 02 -> 0", "Sleep 250",
                  "ReadNv 45 32 -> 0", "ReadNv " + record + " 32 -> 0", "Sleep 250",
                  "WriteNv 44 00 03 -> 0", "Sleep 250", "ReadNv 45 32 -> 0", "StartTimer 2000",
                  "ReadNv " + fwd + " 31 -> 0", "ReadNv " + ret + " 31 -> 0"}));
    for (int id : {t.ids.forwardLive, t.ids.returnLive, t.ids.forwardOffset, t.ids.returnOffset,
                   kLowForwardOffset, kMaxReturn, kReturnDeadBand}) {
        EXPECT_EQ(page.GetDlgItemText(id), "12.3") << id;
    }
    EXPECT_EQ(page.GetDlgItemText(kLowForwardDelay), "1234");
    EXPECT_EQ(page.GetDlgItemText(kLowForwardStatus), "Low temp");
    EXPECT_EQ(node.Selector(), 3);
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");

    // A tick refreshes the live values only.
    StoreEverywhere(0x0000, 0xF7);
    Forget();
    page.DeliverTimer(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv " + fwd + " 32 -> 0",
                                               "ReadNv " + ret + " 32 -> 0", "ReadNv 35 32 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(t.ids.forwardLive), "0.0");
    EXPECT_EQ(page.GetDlgItemText(kLowForwardStatus), "High temp");
    EXPECT_EQ(page.GetDlgItemText(kMaxReturn), "12.3");

    // Hiding stops the timer, then checks the sensors.
    Hide();
    EXPECT_EQ(calls, (std::vector<std::string>{"StopTimer", "ReadNv " + fwd + " 31 -> 0",
                                               "ReadNv " + ret + " 31 -> 0"}));
    EXPECT_FALSE(page.IsTimerRunning(1));
}

TEST_P(TemperaturesPageTest, SensorBelowMinus200DisablesItsControlsOnShowAndHideNotOnTicks) {
    const TwinCase& t = Twin();
    const struct {
        int forward;
        int back;
        const char* forwardEnabled;
        const char* returnEnabled;
    } cases[] = {
        {0x8000, 0xB1E0, "00000", "1111"},  // -327.68 missing; -200.00 present
        {0xB1E0, 0xB1DF, "11111", "0000"},  // -200.01 missing
        {0x0000, 0x2711, "11111", "0000"},  // 10001 stands for -555.35
        {0xB1DF, 0x2710, "00000", "1111"},  // 100.00
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.forward);
        node.SetRaw(t.forwardNv, {static_cast<std::uint8_t>(c.forward >> 8),
                                  static_cast<std::uint8_t>(c.forward)});
        node.SetRaw(t.returnNv,
                    {static_cast<std::uint8_t>(c.back >> 8), static_cast<std::uint8_t>(c.back)});
        ShowPage();
        EXPECT_EQ(Enabled(ForwardControls()), c.forwardEnabled);
        EXPECT_EQ(Enabled(ReturnControls()), c.returnEnabled);
        Hide();
    }

    // The last case left the forward controls disabled: a tick does not check, hiding does.
    ASSERT_EQ(Enabled(ForwardControls()), "00000");
    TemperaturesPage& page = ShowPage();
    node.SetRaw(t.forwardNv, {0x00, 0x00});
    page.DeliverTimer(1);
    EXPECT_EQ(Enabled(ForwardControls()), "00000");
    Hide();
    EXPECT_EQ(Enabled(ForwardControls()), "11111");

    // A failed read leaves its group as it was.
    node.SetRaw(t.forwardNv, {0x80, 0x00});
    node.SetRaw(t.returnNv, {0x80, 0x00});
    node.FailRead(t.forwardNv);
    ShowPage();
    EXPECT_EQ(Enabled(ForwardControls()), "11111");
    EXPECT_EQ(Enabled(ReturnControls()), "0000");
}

TEST_P(TemperaturesPageTest, StoredWordsShowAsSignedHundredthsDelayAsWordStatusByMask0x08) {
    const TwinCase& t = Twin();
    TemperaturesPage& page = ShowPage();
    const struct {
        int word;
        std::uint8_t status;
        const char* hundredths;
        const char* delay;
        const char* statusText;
    } cases[] = {
        {0xFF06, 0x08, "-2.5", "65286", "Low temp"},
        {0x3A98, 0xF7, "-505.4", "15000", "High temp"},  // words above 10000 are negative
        {0x2710, 0xFF, "100.0", "10000", "Low temp"},
        {0xFFFB, 0x00, "-0.1", "65531", "High temp"},
        {0x00FF, 0x08, "2.6", "255", "Low temp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        StoreEverywhere(c.word, c.status);
        Click(page, res::common::kRead);
        page.DeliverTimer(1);
        for (int id : HundredthsEdits()) {
            EXPECT_EQ(page.GetDlgItemText(id), c.hundredths) << id;
        }
        EXPECT_EQ(page.GetDlgItemText(t.ids.forwardLive), c.hundredths);
        EXPECT_EQ(page.GetDlgItemText(t.ids.returnLive), c.hundredths);
        EXPECT_EQ(page.GetDlgItemText(kLowForwardDelay), c.delay);
        EXPECT_EQ(page.GetDlgItemText(kLowForwardStatus), c.statusText);
    }
}

TEST_P(TemperaturesPageTest, TypedNumbersAreStoredTruncatedAndReadBack) {
    const TwinCase& t = Twin();
    TemperaturesPage& page = ShowPage();
    const struct {
        const char* hundredths;
        int hundredthsWord;
        const char* hundredthsBack;
        const char* delay;
        int delayWord;
        const char* delayBack;
    } cases[] = {
        {"-2.5", 0xFF06, "-2.5", "30.9", 0x001E, "30"},
        {"150", 0x3A98, "-505.4", "-5", 0xFFFB, "65531"},
        {"12abc", 0x04B0, "12.0", "70000", 0x1170, "4464"},
        {"abc", 0x0000, "0.0", "abc", 0x0000, "0"},
        {"0.019", 0x0001, "0.0", " 7x", 0x0007, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hundredths);
        for (int id : HundredthsEdits()) {
            page.SetDlgItemText(id, c.hundredths);
        }
        page.SetDlgItemText(kLowForwardDelay, c.delay);
        Click(page, res::common::kWrite);

        const host::PartImage part2 = node.Part(2);
        const host::PartImage part3 = node.Part(3);
        const Bytes record = node.Raw(t.recordNv);
        const auto word = [](auto& bytes, int at) { return bytes[at] * 256 + bytes[at + 1]; };
        EXPECT_EQ(word(part2, t.forwardOffsetAt), c.hundredthsWord);
        EXPECT_EQ(word(part2, t.returnOffsetAt), c.hundredthsWord);
        EXPECT_EQ(word(part3, t.lowOffsetAt), c.hundredthsWord);
        EXPECT_EQ(word(record, kMaxReturnAt), c.hundredthsWord);
        EXPECT_EQ(word(record, kDeadBandAt), c.hundredthsWord);
        EXPECT_EQ(word(part3, t.delayAt), c.delayWord);
        // Write ends with Read.
        for (int id : HundredthsEdits()) {
            EXPECT_EQ(page.GetDlgItemText(id), c.hundredthsBack) << id;
        }
        EXPECT_EQ(page.GetDlgItemText(kLowForwardDelay), c.delayBack);
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    }
}

TEST_P(TemperaturesPageTest, WriteKeepsUntouchedWordsAndChangesOnlyThePagesBytesInItsOrder) {
    const TwinCase& t = Twin();
    for (int p = 1; p <= nv::kPartCount; ++p) {
        node.SetPart(p, Pattern(0x10 * p + 3));
    }
    node.SetRaw(37, Pattern(0x35));
    node.SetRaw(38, Pattern(0x53));
    std::vector<Bytes> parts;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        parts.push_back(PartBytes(node.Part(p)));
    }
    const Bytes record = node.Raw(t.recordNv);
    const Bytes otherRecord = node.Raw(t.otherRecordNv);
    TemperaturesPage& page = ShowPage();
    ASSERT_NE(page.GetDlgItemText(t.ids.forwardOffset), "0.0");

    // Untouched, the hundredths the edits do not show are kept: nothing changes.
    Forget();
    Click(page, res::common::kWrite);
    const std::string rec = std::to_string(t.recordNv);
    EXPECT_EQ(
        Brief(calls),
        (std::vector<std::string>{
            "ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 02 -> 0", "Sleep 250",
            "ReadNv 45 31 -> 0", "WriteNv 45 (31 bytes) -> 0", "Sleep 250", "WriteNv 44 00 03 -> 0",
            "Sleep 250", "ReadNv 45 31 -> 0", "WriteNv 45 (31 bytes) -> 0",
            "ReadNv " + rec + " 31 -> 0", "WriteNv " + rec + " (31 bytes) -> 0",
            // the closing Read
            "ReadNv 44 31 -> 0", "Sleep 250", "WriteNv 44 00 02 -> 0", "Sleep 250",
            "ReadNv 45 32 -> 0", "ReadNv " + rec + " 32 -> 0", "Sleep 250", "WriteNv 44 00 03 -> 0",
            "Sleep 250", "ReadNv 45 32 -> 0"}));
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(PartBytes(node.Part(p)), parts[p - 1]) << "part " << p;
    }
    EXPECT_EQ(node.Raw(t.recordNv), record);

    // Typed values change the page's words and nothing else.
    page.SetDlgItemText(t.ids.forwardOffset, "1");
    page.SetDlgItemText(t.ids.returnOffset, "2");
    page.SetDlgItemText(kLowForwardOffset, "3");
    page.SetDlgItemText(kLowForwardDelay, "4");
    page.SetDlgItemText(kMaxReturn, "5");
    page.SetDlgItemText(kReturnDeadBand, "6");
    Click(page, res::common::kWrite);
    PutWord(parts[1], t.forwardOffsetAt, 100);
    PutWord(parts[1], t.returnOffsetAt, 200);
    PutWord(parts[2], t.lowOffsetAt, 300);
    PutWord(parts[2], t.delayAt, 4);
    Bytes expectedRecord = record;
    PutWord(expectedRecord, kMaxReturnAt, 500);
    PutWord(expectedRecord, kDeadBandAt, 600);
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(PartBytes(node.Part(p)), parts[p - 1]) << "part " << p;
    }
    EXPECT_EQ(node.Raw(t.recordNv), expectedRecord);
    EXPECT_EQ(node.Raw(t.otherRecordNv), otherRecord);
    EXPECT_EQ(node.Selector(), 3);
}

TEST_P(TemperaturesPageTest, FailedPartSelectionWritesNoPartAndKeepsTheEdits) {
    const TwinCase& t = Twin();
    TemperaturesPage& page = ShowPage();
    for (int p = 1; p <= nv::kPartCount; ++p) {
        node.SetPart(p, Pattern(0x10 * p + 5));
    }
    node.SetSelector(5);  // NV 45 shows part 5, which is not the page's
    node.FailWrite(nv::kPartSelector);
    for (int id : HundredthsEdits()) {
        page.SetDlgItemText(id, "9.9");
    }
    page.SetDlgItemText(kLowForwardDelay, "99");
    Forget();
    Click(page, res::common::kWrite);

    for (const auto& line : CallsOf("WriteNv")) {
        EXPECT_NE(line.rfind("WriteNv 45 ", 0), 0u) << line;
    }
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(PartBytes(node.Part(p)), Pattern(0x10 * p + 5)) << "part " << p;
    }
    // The settings record needs no part: its step still runs.
    EXPECT_EQ(node.Raw(t.recordNv)[kMaxReturnAt + 1], 0xDE);  // 990
    for (int id : {t.ids.forwardOffset, t.ids.returnOffset, kLowForwardOffset}) {
        EXPECT_EQ(page.GetDlgItemText(id), "9.9") << id;
    }
    EXPECT_EQ(page.GetDlgItemText(kLowForwardDelay), "99");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

INSTANTIATE_TEST_SUITE_P(Twins, TemperaturesPageTest, ::testing::ValuesIn(kTwins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
