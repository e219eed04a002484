#include "calendar/WeekCalendarPage.h"

#include <array>
#include <cstddef>
#include <vector>

#include "codecs/NumericCodec.h"
#include "node/NodeClock.h"
#include "res/WeekCalendarDialogs.h"

namespace vireo {

using namespace res::week_calendar;

namespace {

// Monday to Sunday as the dialog's rows, and where each day starts in the part image.
constexpr std::array<int, 7> kDayFirstByte = {5, 9, 13, 17, 21, 25, 1};
constexpr int kHolidayStopByte = 29;
constexpr int kHolidayStartByte = 30;

// The 30 time edits in byte order: per day calendar 1 stop and start, calendar 2 stop and
// start; then the holiday stop and start.
std::vector<TimeSlot> WeekSlots() {
    std::vector<TimeSlot> slots(30);
    for (std::size_t day = 0; day < kDayFirstByte.size(); ++day) {
        const int first = kDayFirstByte[day];
        const int at = first - 1;
        slots[static_cast<std::size_t>(at)] = {kCalendar1Stop[day], first};
        slots[static_cast<std::size_t>(at + 1)] = {kCalendar1Start[day], first + 1};
        slots[static_cast<std::size_t>(at + 2)] = {kCalendar2Stop[day], first + 2};
        slots[static_cast<std::size_t>(at + 3)] = {kCalendar2Start[day], first + 3};
    }
    slots[kHolidayStopByte - 1] = {kHolidayStop, kHolidayStopByte};
    slots[kHolidayStartByte - 1] = {kHolidayStart, kHolidayStartByte};
    return slots;
}

// Each calendar's starts and stops over the seven days (calendar offset 0 or 2 in a day's
// four bytes), and the holiday pair.
CalendarCheck DaysCheck(int offset, const char* message) {
    CalendarCheck check{{}, {}, message};
    for (int first : kDayFirstByte) {
        check.stopBytes.push_back(first + offset);
        check.startBytes.push_back(first + offset + 1);
    }
    return check;
}

const std::array<CalendarCheck, 3>& Checks() {
    static const std::array<CalendarCheck, 3> checks = {
        DaysCheck(0, "Error in Calender 1, unequal start and stoptimes"),
        DaysCheck(2, "Error in Calender 2, unequal start and stoptimes"),
        CalendarCheck{{kHolidayStartByte},
                      {kHolidayStopByte},
                      "Error in holiday, unequal start and stoptimes"},
    };
    return checks;
}

}  // namespace

// Refresh (clock, state) and Read on show, refresh on the timer; OnInitDialog leaves the
// keyboard focus alone.
WeekCalendarPage::WeekCalendarPage(int dialogId, int captionId, int part, int stateNv)
    : CalendarPage(dialogId, captionId, behaviour::LeavingFocus(behaviour::RefreshRead()),
                   WeekSlots()),
      part_(part),
      stateNv_(stateNv) {}

const char* WeekCalendarPage::StateText(int word) {
    static constexpr const char* kTexts[] = {"Off", "Calender1 active", "Calender2 active",
                                             "Holiday inactive", "Holiday active"};
    return word >= 0 && word < 5 ? kTexts[word] : nullptr;
}

void WeekCalendarPage::Refresh() {
    NvBuffer clock{};
    if (ReadNv(nv::kClockRead, clock)) {
        const auto record = node::NodeClockRecord::FromBytes(clock.data());
        SetDlgItemText(kNodeDate, node::ClockDateText(record));
        SetDlgItemText(kNodeTime, node::ClockTimeText(record));
    }
    NvBuffer state{};
    if (ReadNv(stateNv_, state)) {
        const char* text = StateText(codecs::NumericCodec().MakeWord(state[0], state[1]));
        if (text != nullptr) {
            SetDlgItemText(kCalendarState, text);
        }
    }
}

void WeekCalendarPage::ReadConfig() {
    NvBuffer image{};
    if (ReadFirstPart(part_, image, nv::kBufferSize)) {
        ShowTimes(image);
    }
}

// A fresh image, not the node's: a time whose text is refused keeps its 0. When the part
// cannot be selected, NV 45 still shows another part, so nothing is checked or written.
void WeekCalendarPage::WriteConfig() {
    if (!SelectFirst(part_)) {
        return;
    }
    NvBuffer image{};
    WriteCalendar(image, Checks());
}

CNodePage::EditTexts WeekCalendarPage::DefaultTexts() const {
    EditTexts texts;
    for (std::size_t day = 0; day < 5; ++day) {
        texts.emplace_back(kCalendar1Start[day], "8:00");
        texts.emplace_back(kCalendar1Stop[day], "16:00");
    }
    for (std::size_t day = 5; day < 7; ++day) {
        texts.emplace_back(kCalendar1Start[day], "0:00");
        texts.emplace_back(kCalendar1Stop[day], "0:00");
    }
    texts.emplace_back(kHolidayStart, "0:00");
    return texts;
}

}  // namespace vireo
