#pragma once
// What the calendar pages share: time edits bound to the bytes of a calendar part image
// (TimeBytes in quarter hours, shown "H:MM"), Reset to "0:00", and the checks of a Write: every
// text of the right form, no stop before its start in any stop/start pair the page shows, and
// as many set starts as set stops in each calendar, with the calendar's own message.
// A Write that finds errors writes nothing and says how many it found.

#include <span>
#include <string>
#include <vector>

#include "page/NodePage.h"

namespace vireo {

// A time edit and its byte in the calendar part image.
struct TimeSlot {
    int editId;
    int byte;
};

// A calendar whose set starts and set stops must be equally many.
struct CalendarCheck {
    std::vector<int> startBytes;
    std::vector<int> stopBytes;
    const char* message;  // "Error in Calender 1, unequal start and stoptimes"
};

// The stop/start pairs of the slots (stop at an odd byte, its start right after it) whose stop
// is set and earlier than its start. Pairs no slot shows are not counted: the technician could
// not correct them.
int UnorderedPairs(const NvBuffer& image, std::span<const TimeSlot> slots);
// The summary of a Write that found errors.
std::string CalendarErrorSummary(int errors, bool formatErrors);

class CalendarPage : public CNodePage {
protected:
    CalendarPage(int templateId, int captionId, PageBehaviour behaviour,
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

    const std::vector<TimeSlot>& Slots() const { return slots_; }

private:
    std::vector<TimeSlot> slots_;
};

}  // namespace vireo
