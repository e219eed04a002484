#include "calendar/PresenceCalendarPage.h"

#include "node/NodeFields.h"
#include "res/PresenceCalendarDialogs.h"

namespace vireo {

namespace {

// Per day, from Sunday: calendar 1 stop, calendar 1 start, calendar 2 stop, calendar 2 start.
// The presence calendar takes the calendar 1 bytes.
std::vector<TimeSlot> PresenceSlots() {
    std::vector<TimeSlot> slots;
    for (int day = 0; day < 7; ++day) {  // Sunday first, as in the part
        // The grid's rows start on Monday; Sunday is its last row.
        const res::week_grid::Day& row = res::week_grid::kDays[(day + 6) % 7];
        slots.push_back({row.stop, 1 + 4 * day});
        slots.push_back({row.start, 2 + 4 * day});
    }
    return slots;
}

const CalendarCheck kPresenceCheck = {
    {2, 6, 10, 14, 18, 22, 26},
    {1, 5, 9, 13, 17, 21, 25},
    "Error in PIR calender, unequal start and stoptimes",
};

}  // namespace

PresenceCalendarPage::PresenceCalendarPage(int dialogId, int part, int circuit)
    : CalendarPage(dialogId, dialogId, behaviour::LeavingFocus(behaviour::RefreshRead()),
                   PresenceSlots()),
      part_(part),
      state_(node::fields::kPresenceState[circuit]) {}

// Byte 0 of the presence state, taken as a signed number: 0 occupied, 1 unoccupied.
void PresenceCalendarPage::Refresh() {
    NvBuffer bytes{};
    if (!ReadNv(state_.place.nv, bytes, nv::kBufferSize)) {
        return;
    }
    const double state = node::Value(state_, bytes.data());
    SetDlgItemText(res::presence_calendar::kStatus, state == 0   ? "occupied"
                                                    : state == 1 ? "unoccupied"
                                                                 : "out of range");
}

void PresenceCalendarPage::ReadConfig() {
    NvBuffer image{};
    if (ReadFirstPart(part_, image, nv::kBufferSize)) {
        ShowTimes(image);
    }
}

// The image is the part as the node holds it: the bytes of the page's calendar are replaced,
// the others are written back unchanged and, as no edit shows them, not checked.
void PresenceCalendarPage::WriteConfig() {
    NvBuffer image{};
    if (!ReadFirstPart(part_, image, nv::kPartSize)) {
        return;
    }
    WriteCalendar(image, {&kPresenceCheck, 1});
}

}  // namespace vireo
