#pragma once
// What the calendar pages share: time edits bound to the time fields of a calendar part
// (quarter hours, shown "H:MM"), Reset to "0:00", and the checks of a Write: every text of the
// right form, no stop before its start in any stop/start pair the page shows, and as many set
// starts as set stops in each calendar, with the calendar's own message.
// A Write that finds errors writes nothing and says how many it found.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "node/NodeFields.h"
#include "page/NodePage.h"

namespace vireo {

// A time edit and its field in the calendar part.
struct TimeSlot {
    int editId;
    node::Field field;
};

// A calendar whose set starts and set stops must be equally many.
struct CalendarCheck {
    std::vector<node::Field> starts;
    std::vector<node::Field> stops;
    const char* message;  // "Error in Calender 1, unequal start and stoptimes"
};

// A calendar of one start and one stop per day: its field of a day (0 Sunday) and edge.
using DayTimes = std::function<node::Field(int day, node::fields::Edge edge)>;
// Its check, with the calendar's message.
CalendarCheck DaysCheck(const DayTimes& time, const char* message);
// Its 14 edits on the week grid of the presence and hot-water tank calendars, in byte order.
std::vector<TimeSlot> GridSlots(const DayTimes& time);

// The stop/start pairs of the slots (stop at an odd byte, its start right after it) whose stop
// is set and earlier than its start. Pairs no slot shows are not counted: the technician could
// not correct them.
int UnorderedPairs(const NvBuffer& image, std::span<const TimeSlot> slots);
// The summary of a Write that found errors.
std::string CalendarErrorSummary(int errors, bool formatErrors);

// The node's clock from the bytes of NV 3 in the date, weekday and time fields that the Set
// Time and week calendar dialogs share.
void ShowNodeClock(platform::ControlHost& page, const NvBuffer& bytes);

class CalendarPage : public CNodePage {
protected:
    CalendarPage(int templateId, int captionId, PageBehaviour behaviour, int part,
                 std::vector<TimeSlot> slots);

    // Shows the time of every slot.
    void ShowTimes(const NvBuffer& image);
    // Stores every slot whose text is a valid time; returns how many texts were not.
    int StoreTimes(NvBuffer& image) const;
    // Byte 0 set to 0, the slots stored, the pairs and calendars checked. Without errors the
    // image is written to NV 45 (the part must be selected) and the page reads it back;
    // otherwise the calendar messages and the summary are shown and nothing is written.
    bool WriteCalendar(NvBuffer& image, std::span<const CalendarCheck> checks);

    // "Reset" (and the sheet's cancel): "0:00" in every time edit.
    EditTexts ResetTexts() const override;

    int CalendarPart() const { return part_; }
    const std::vector<TimeSlot>& Slots() const { return slots_; }

private:
    int part_;
    std::vector<TimeSlot> slots_;
};

}  // namespace vireo
