#include "calendar/WeekCalendarPage.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
      checks_(Checks(circuit)) {
    OnClicked(kCopyMondayToWorkdays, [this] { CopyMonday(1, 4); });
    OnClicked(kCopyToWeekend, [this] { CopyMonday(5, 6); });
    for (const TimeSlot& slot : Slots()) {
        OnEditChanged(slot.editId, [this] { DrawWeek(); });
    }
}

BOOL WeekCalendarPage::OnInitDialog() {
    DrawWeek();
    return CalendarPage::OnInitDialog();
}

void WeekCalendarPage::CopyMonday(int firstRow, int lastRow) {
    for (const auto* edits :
         {&kCalendar1Start, &kCalendar1Stop, &kCalendar2Start, &kCalendar2Stop}) {
        for (int row = firstRow; row <= lastRow; ++row) {
            SetDlgItemText((*edits)[static_cast<std::size_t>(row)], GetDlgItemText((*edits)[0]));
        }
    }
}

namespace {

// One start/stop pair of the picture: its edits, and their times in hours once read.
struct Pair {
    int row;
    int lane;
    int band;
    int bands;
    std::string name;  // "Calender 1, Monday"
    int start;
    int stop;
};

std::vector<Pair> WeekPairs() {
    std::vector<Pair> pairs;
    const std::array<std::array<int, 7>, 2> starts = {kCalendar1Start, kCalendar2Start};
    const std::array<std::array<int, 7>, 2> stops = {kCalendar1Stop, kCalendar2Stop};
    static const char* const kRows[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                        "Friday", "Saturday", "Sunday"};
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t row = 0; row < 7; ++row) {
            pairs.push_back({static_cast<int>(row), static_cast<int>(c), static_cast<int>(c), 2,
                             "Calender " + std::to_string(c + 1) + ", " + kRows[row],
                             starts[c][row], stops[c][row]});
        }
    }
    pairs.push_back({7, 2, 0, 1, "Holiday", kHolidayStart, kHolidayStop});
    return pairs;
}

std::string HourText(double hours) {
    const int quarters = static_cast<int>(hours * 4);
    const int minutes = quarters % 4 * 15;
    return std::to_string(quarters / 4) + (minutes < 10 ? ":0" : ":") + std::to_string(minutes);
}

}  // namespace

// The texts are read as a Write would store them: a refused text is no time and counts as
// not set in its calendar's starts and stops.
void WeekCalendarPage::DrawWeek() {
    std::map<int, std::string> problems;
    std::map<int, std::optional<double>> hours;  // edit -> hours; none when the text is refused
    for (const TimeSlot& slot : Slots()) {
        const std::string text = GetDlgItemText(slot.editId);
        if (!node::Accepts(slot.field, text)) {
            problems[slot.editId] =
                (text.empty() ? std::string("An empty text") : text) + " is not a time: use H:MM";
            hours[slot.editId] = std::nullopt;
            continue;
        }
        NvBuffer image{};
        node::StoreText(slot.field, text, image.data());
        hours[slot.editId] = image[static_cast<std::size_t>(slot.field.offset)] / 4.0;
    }
    const auto set = [&hours](int id) { return hours[id].value_or(0) != 0; };
    const std::vector<Pair> pairs = WeekPairs();
    // Each lane's set starts and stops, as the Write's calendar checks count them.
    std::map<int, std::pair<int, int>> counts;
    for (const Pair& pair : pairs) {
        counts[pair.lane].first += set(pair.start) ? 1 : 0;
        counts[pair.lane].second += set(pair.stop) ? 1 : 0;
    }
    std::vector<platform::WeekBar> bars;
    for (const Pair& pair : pairs) {
        platform::WeekBar bar{
            .row = pair.row, .lane = pair.lane, .band = pair.band, .bands = pair.bands};
        const auto [starts, stops] = counts[pair.lane];
        const std::string calendar = pair.name.substr(0, pair.name.find(','));
        if (!hours[pair.start] || !hours[pair.stop]) {
            bar.to = 24;
            bar.invalid = true;
            bar.tip = pair.name + ": " + problems[hours[pair.start] ? pair.stop : pair.start];
            bars.push_back(bar);
            continue;
        }
        const double start = *hours[pair.start];
        const double stop = *hours[pair.stop];
        if (!set(pair.start) && !set(pair.stop)) {
            continue;
        }
        bar.from = set(pair.start) ? start : 0;
        bar.to = set(pair.stop) ? stop : 24;
        if (set(pair.start) && set(pair.stop) && stop < start) {
            const std::string why =
                "stop " + HourText(stop) + " is before start " + HourText(start);
            problems[pair.stop] = why;
            std::swap(bar.from, bar.to);
            bar.invalid = true;
            bar.tip = pair.name + ": " + why;
        } else if (set(pair.start) != set(pair.stop) && starts != stops) {
            const std::string why = calendar + " has " + std::to_string(starts) +
                                    " start times but " + std::to_string(stops) + " stop times";
            problems[set(pair.start) ? pair.start : pair.stop] = why;
            bar.invalid = true;
            bar.tip = pair.name + ": " + why;
        } else {
            bar.tip = pair.name + ": " + (set(pair.start) ? HourText(start) : "") + "-" +
                      (set(pair.stop) ? HourText(stop) : "");
        }
        bars.push_back(bar);
    }
    for (const TimeSlot& slot : Slots()) {
        SetDlgItemProblem(slot.editId, problems[slot.editId]);
    }
    SetWeekPicture(
        kWeekPicture,
        {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday", "Holiday"},
        {"Calender 1", "Calender 2", "Holiday"}, bars);
}

void WeekCalendarPage::Refresh() {
    NvBuffer clock{};
    if (ReadNv(nv::kClockRead, clock)) {
        ShowNodeClock(*this, clock);
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
