// The Extended operation pages of both circuits against the simulated node: the delay texts
// shown and parsed, Write and the Start buttons storing only the page's twelve bytes of NV 36,
// and the 2000 ms pause of a Start between its two writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "SheetFixture.h"
#include "res/ExtendedOperationDialogs.h"

namespace {

using host::Bytes;

struct TwinCase {
    const char* name;
    std::function<ExtendedOperationPage&(CSheet&)> page;
    int firstByte;  // of the page's twelve bytes of NV 36
};

void PrintTo(const TwinCase& twin, std::ostream* os) {
    *os << twin.name;
}

const TwinCase kTwins[] = {
    {"Circuit1", [](CSheet& s) -> ExtendedOperationPage& { return s.extendedOperation1; }, 1},
    {"Circuit2", [](CSheet& s) -> ExtendedOperationPage& { return s.extendedOperation2; }, 13},
};

constexpr int kEdits[] = {res::extended_operation::kBoostDelay, res::extended_operation::kDayDelay,
                          res::extended_operation::kNightDelay};
constexpr int kStarts[] = {res::extended_operation::kStartBoost, res::extended_operation::kStartDay,
                           res::extended_operation::kStartNight};

Bytes Pattern() {
    Bytes bytes(31);
    for (int i = 0; i < 31; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0xA0 + 3 * i);
    }
    return bytes;
}

// NV 36 with one delay replaced: hours and minutes words at the given byte.
Bytes WithDelay(Bytes bytes, int at, int hours, int minutes) {
    bytes[at] = static_cast<std::uint8_t>(hours >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(hours);
    bytes[at + 2] = static_cast<std::uint8_t>(minutes >> 8);
    bytes[at + 3] = static_cast<std::uint8_t>(minutes);
    return bytes;
}

std::string WriteLine(const Bytes& bytes) {
    std::string line = "WriteNv 36";
    char hex[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    return line + " -> 0";
}

class ExtendedOperationPageTest : public SheetFixture,
                                  public ::testing::WithParamInterface<TwinCase> {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        desktop.onLine = [this](const std::string& line) { calls.push_back(line); };
    }

    const TwinCase& Twin() const { return GetParam(); }

    ExtendedOperationPage& ShowPage() {
        if (!sheet) {
            Open();
        }
        return Show(Twin().page(*sheet));
    }

    // The byte where the delay of edit number i (boost, day, night) begins.
    int DelayAt(int i) const { return Twin().firstByte + 4 * i; }
};

TEST_P(ExtendedOperationPageTest, ShowReadsOnceAndRunsNoTimer) {
    Bytes delays(31, 0);
    delays = WithDelay(delays, 1, 2, 5);  // circuit 1: 2:05, 0:30, 0:90
    delays = WithDelay(delays, 5, 0, 30);
    delays = WithDelay(delays, 9, 0, 90);
    delays = WithDelay(delays, 13, 12, 0);  // circuit 2: 12:00, 65535:65535, 1:10
    delays = WithDelay(delays, 17, 65535, 65535);
    delays = WithDelay(delays, 21, 1, 10);
    node.SetRaw(nv::kExtendedDelays, delays);

    ExtendedOperationPage& page = ShowPage();

    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 36 32 -> 0"}));
    const bool circuit1 = Twin().firstByte == 1;
    const std::vector<std::string> expected =
        circuit1 ? std::vector<std::string>{"2:05", "0:30", "0:90"}
                 : std::vector<std::string>{"12:00", "65535:65535", "1:10"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(page.GetDlgItemText(kEdits[i]), expected[i]);
    }
    EXPECT_FALSE(page.IsTimerRunning(1));
    EXPECT_EQ(desktop.RunningTimers(), 0);
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

TEST_P(ExtendedOperationPageTest, TypedDelaysAreStoredAsHoursAndMinutesWords) {
    ExtendedOperationPage& page = ShowPage();
    const struct {
        const char* typed;
        int hours;
        int minutes;
        const char* readBack;
    } cases[] = {
        {"1:30", 1, 30, "1:30"},
        {"1:5", 1, 5, "1:05"},
        {"90", 0, 90, "0:90"},
        {"2.7:45.9", 2, 45, "2:45"},
        {"abc", 0, 0, "0:00"},
        {" 3: 7x", 3, 7, "3:07"},
        {"1:2:3", 1, 2, "1:02"},
        {":15", 0, 15, "0:15"},
        {"-1:30", 65535, 30, "65535:30"},
        {"0:70000", 0, 70000 & 0xFFFF, "0:4464"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        node.SetRaw(nv::kExtendedDelays, Pattern());
        for (int edit : kEdits) {
            page.SetDlgItemText(edit, c.typed);
        }
        Forget();
        Click(page, res::common::kWrite);
        Bytes expected = Pattern();
        for (int i = 0; i < 3; ++i) {
            expected = WithDelay(expected, DelayAt(i), c.hours, c.minutes);
        }
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 36 31 -> 0", WriteLine(expected)}));
        EXPECT_EQ(node.Raw(nv::kExtendedDelays), expected);
        EXPECT_EQ(page.GetDlgItemText(kEdits[0]), c.typed);  // Write does not read back
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");

        Click(page, res::common::kRead);
        for (int edit : kEdits) {
            EXPECT_EQ(page.GetDlgItemText(edit), c.readBack);
        }
    }
}

TEST_P(ExtendedOperationPageTest, StartWritesZeroThenAfter2000MsTheTypedDelay) {
    ExtendedOperationPage& page = ShowPage();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Bytes before = Pattern();
        node.SetRaw(nv::kExtendedDelays, before);
        // Typed but unwritten values of the other delays are not sent.
        for (int edit : kEdits) {
            page.SetDlgItemText(edit, "9:59");
        }
        page.SetDlgItemText(kEdits[i], "1:30");
        Forget();
        Click(page, kStarts[i]);

        const Bytes typed = WithDelay(before, DelayAt(i), 1, 30);
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 36 32 -> 0",
                                                   WriteLine(WithDelay(before, DelayAt(i), 0, 0)),
                                                   "Sleep 2000", WriteLine(typed)}));
        EXPECT_EQ(node.Raw(nv::kExtendedDelays), typed);
        EXPECT_EQ(page.GetDlgItemText(kEdits[(i + 1) % 3]), "9:59");  // nothing read back
        EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    }
}

TEST_P(ExtendedOperationPageTest, FailedReadWritesNothingAndKeepsTheEdits) {
    ExtendedOperationPage& page = ShowPage();
    const Bytes before = Pattern();
    node.SetRaw(nv::kExtendedDelays, before);
    node.FailRead(nv::kExtendedDelays);
    for (int edit : kEdits) {
        page.SetDlgItemText(edit, "4:44");
    }
    Forget();
    Click(page, res::common::kWrite);
    Click(page, res::extended_operation::kStartDay);
    Click(page, res::common::kRead);

    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_TRUE(desktop.Sleeps().empty());
    EXPECT_EQ(node.Raw(nv::kExtendedDelays), before);
    EXPECT_EQ(page.GetDlgItemText(res::extended_operation::kNightDelay), "4:44");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
}

INSTANTIATE_TEST_SUITE_P(Twins, ExtendedOperationPageTest, ::testing::ValuesIn(kTwins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
