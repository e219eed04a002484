#include "calendar/PresenceCalendarPage.h"

#include "res/PresenceCalendarDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;

DayTimes PresenceTimes(int circuit) {
    return
        [circuit](int day, fields::Edge edge) { return fields::PresenceTime(circuit, day, edge); };
}

}  // namespace

PresenceCalendarPage::PresenceCalendarPage(int dialogId, int circuit)
    : CalendarPage(dialogId, dialogId, behaviour::LeavingFocus(behaviour::RefreshRead()),
                   fields::kPresencePart[circuit], GridSlots(PresenceTimes(circuit))),
      state_(fields::kPresenceState[static_cast<std::size_t>(circuit)]),
      check_(DaysCheck(PresenceTimes(circuit),
                       "Error in PIR calender, unequal start and stoptimes")) {}

void PresenceCalendarPage::Refresh() {
    NvBuffer bytes{};
    if (ReadNv(state_.place.nv, bytes, nv::kBufferSize)) {
        SetDlgItemText(res::presence_calendar::kStatus, node::Text(state_, bytes.data()));
    }
}

void PresenceCalendarPage::ReadConfig() {
    NvBuffer image{};
    if (ReadFirstPart(CalendarPart(), image, nv::kBufferSize)) {
        ShowTimes(image);
    }
}

// The image is the part as the node holds it: the bytes of the page's calendar are replaced,
// the others are written back unchanged and, as no edit shows them, not checked.
void PresenceCalendarPage::WriteConfig() {
    NvBuffer image{};
    if (!ReadFirstPart(CalendarPart(), image, nv::kPartSize)) {
        return;
    }
    WriteCalendar(image, {&check_, 1});
}

}  // namespace vireo
