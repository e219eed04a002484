#include "calendar/WeekCalendarPage.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "node/NodeClock.h"
#include "node/NodeFields.h"
#include "res/WeekCalendarDialogs.h"

namespace vireo {

using namespace res::week_calendar;

namespace {

namespace fields = node::fields;
using fields::Edge;

// The 30 time edits of a circuit in byte order: per day from Sunday calendar 1 stop and start,
// calendar 2 stop and start; then the holiday stop and start.
std::vector<TimeSlot> WeekSlots(int circuit) {
    const std::array<std::array<int, 7>, 2> stops = {kCalendar1Stop, kCalendar2Stop};
    const std::array<std::array<int, 7>, 2> starts = {kCalendar1Start, kCalendar2Start};
    std::vector<TimeSlot> slots;
    for (std::size_t day = 0; day < fields::kDays.size(); ++day) {
        // The dialog's rows run from Monday; Sunday is its last row.
        const std::size_t row = (day + 6) % fields::kDays.size();
        for (int calendar = 0; calendar < 2; ++calendar) {
            const auto c = static_cast<std::size_t>(calendar);
            const int d = static_cast<int>(day);
            slots.push_back({stops[c][row], fields::WeekTime(circuit, calendar, d, Edge::Stop)});
            slots.push_back({starts[c][row], fields::WeekTime(circuit, calendar, d, Edge::Start)});
        }
    }
    slots.push_back({kHolidayStop, fields::HolidayTime(circuit, Edge::Stop)});
    slots.push_back({kHolidayStart, fields::HolidayTime(circuit, Edge::Start)});
    return slots;
}

// Each calendar's starts and stops over the seven days, and the holiday pair.
std::vector<CalendarCheck> Checks(int circuit) {
    const auto calendar = [circuit](int c) -> DayTimes {
        return [circuit, c](int day, Edge edge) { return fields::WeekTime(circuit, c, day, edge); };
    };
    return {DaysCheck(calendar(0), "Error in Calender 1, unequal start and stoptimes"),
            DaysCheck(calendar(1), "Error in Calender 2, unequal start and stoptimes"),
            {{fields::HolidayTime(circuit, Edge::Start)},
             {fields::HolidayTime(circuit, Edge::Stop)},
             "Error in holiday, unequal start and stoptimes"}};
}

}  // namespace

// Refresh (clock, state) and Read on show, refresh on the timer; OnInitDialog leaves the
// keyboard focus alone.
WeekCalendarPage::WeekCalendarPage(int dialogId, int captionId, int circuit)
    : CalendarPage(dialogId, captionId, behaviour::LeavingFocus(behaviour::RefreshRead()),
                   fields::kWeekPart[circuit], WeekSlots(circuit)),
      state_(fields::kCalendarState[static_cast<std::size_t>(circuit)]),
      checks_(Checks(circuit)) {}

void WeekCalendarPage::Refresh() {
    NvBuffer clock{};
    if (ReadNv(nv::kClockRead, clock)) {
        const auto record = node::NodeClockRecord::FromBytes(clock.data());
        SetDlgItemText(kNodeDate, node::ClockDateText(record));
        SetDlgItemText(kNodeTime, node::ClockTimeText(record));
    }
    // A state word without a text leaves the field as it was.
    NvBuffer state{};
    if (ReadNv(state_.place.nv, state)) {
        if (const std::string text = node::Text(state_, state.data()); !text.empty()) {
            SetDlgItemText(kCalendarState, text);
        }
    }
}

void WeekCalendarPage::ReadConfig() {
    NvBuffer image{};
    if (ReadFirstPart(CalendarPart(), image, nv::kBufferSize)) {
        ShowTimes(image);
    }
}

// A fresh image, not the node's: a time whose text is refused keeps its 0. When the part
// cannot be selected, NV 45 still shows another part, so nothing is checked or written.
void WeekCalendarPage::WriteConfig() {
    if (!SelectFirst(CalendarPart())) {
        return;
    }
    NvBuffer image{};
    WriteCalendar(image, checks_);
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
