#include "calendar/CalendarPage.h"

#include <algorithm>
#include <cstdio>

#include "node/NodeClock.h"
#include "res/PresenceCalendarDialogs.h"
#include "res/SetTimeDialog.h"

namespace vireo {

CalendarCheck DaysCheck(const DayTimes& time, const char* message) {
    CalendarCheck check{{}, {}, message};
    for (int day = 0; day < static_cast<int>(node::fields::kDays.size()); ++day) {
        check.starts.push_back(time(day, node::fields::Edge::Start));
        check.stops.push_back(time(day, node::fields::Edge::Stop));
    }
    return check;
}

std::vector<TimeSlot> GridSlots(const DayTimes& time) {
    std::vector<TimeSlot> slots;
    for (int day = 0; day < static_cast<int>(node::fields::kDays.size()); ++day) {
        // The grid's rows start on Monday; Sunday is its last row.
        const res::week_grid::Day& row =
            res::week_grid::kDays[static_cast<std::size_t>(day + 6) % 7];
        slots.push_back({row.stop, time(day, node::fields::Edge::Stop)});
        slots.push_back({row.start, time(day, node::fields::Edge::Start)});
    }
    return slots;
}

int UnorderedPairs(const NvBuffer& image, std::span<const TimeSlot> slots) {
    int errors = 0;
    for (const TimeSlot& slot : slots) {
        const auto stop = static_cast<std::size_t>(slot.field.offset);
        if (stop % 2 == 1 && image[stop] != 0 && image[stop] < image[stop + 1]) {
            ++errors;
        }
    }
    return errors;
}

std::string CalendarErrorSummary(int errors, bool formatErrors) {
    char count[32];
    std::snprintf(count, sizeof count, "%.0f", static_cast<double>(errors));
    return std::string(count) +
           (formatErrors ? " errors occured, data not written to NV. (Correct time format is "
                           "'H:MM' or 'HH:MM')"
                         : " errors occured, data not written to NV");
}

void ShowNodeClock(platform::ControlHost& page, const NvBuffer& bytes) {
    const auto clock = node::NodeClockRecord::FromBytes(bytes.data());
    page.SetDlgItemText(res::set_time::kNodeDate, node::ClockDateText(clock));
    page.SetDlgItemText(res::set_time::kNodeWeekday, node::ClockWeekdayText(clock));
    page.SetDlgItemText(res::set_time::kNodeTime, node::ClockTimeText(clock));
}

CalendarPage::CalendarPage(int templateId, int captionId, PageBehaviour behaviour, int part,
                           std::vector<TimeSlot> slots)
    : CNodePage(templateId, captionId, behaviour), part_(part), slots_(std::move(slots)) {
    UseDefaultAndResetButtons();
}

void CalendarPage::ShowTimes(const NvBuffer& image) {
    for (const TimeSlot& slot : slots_) {
        SetDlgItemText(slot.editId, node::Text(slot.field, image.data()));
    }
}

int CalendarPage::StoreTimes(NvBuffer& image) const {
    int formatErrors = 0;
    for (const TimeSlot& slot : slots_) {
        const std::string text = GetDlgItemText(slot.editId);
        if (node::Accepts(slot.field, text)) {
            node::StoreText(slot.field, text, image.data());
        } else {
            ++formatErrors;  // the byte keeps what the image holds
        }
    }
    return formatErrors;
}

bool CalendarPage::WriteCalendar(NvBuffer& image, std::span<const CalendarCheck> checks) {
    node::StoreNumber(node::fields::CalendarLeadByte(part_), 0, image.data());
    const int formatErrors = StoreTimes(image);
    int errors = formatErrors + UnorderedPairs(image, slots_);
    const auto setCount = [&image](const std::vector<node::Field>& times) {
        return std::count_if(times.begin(), times.end(), [&image](const node::Field& time) {
            return node::Value(time, image.data()) != 0;
        });
    };
    for (const CalendarCheck& check : checks) {
        if (setCount(check.starts) != setCount(check.stops)) {
            ShowMessage(check.message);
            ++errors;
        }
    }
    if (errors != 0) {
        ShowMessage(CalendarErrorSummary(errors, formatErrors != 0));
        return false;
    }
    WritePart(image);
    RunRead();
    return true;
}

CNodePage::EditTexts CalendarPage::ResetTexts() const {
    EditTexts texts;
    for (const TimeSlot& slot : slots_) {
        texts.emplace_back(slot.editId, "0:00");
    }
    return texts;
}

}  // namespace vireo
