#pragma once
// The presence (PIR) calendar pages of both circuits: one start and one stop time per weekday
// in the calendar 1 positions of the circuit's calendar part, and the live state of the
// circuit's presence detector. A Write sends the part's other bytes back as the node held them;
// on circuit 2 these are the hot-water tank calendar's.

#include "calendar/CalendarPage.h"
#include "node/NodeField.h"

namespace vireo {

class PresenceCalendarPage : public CalendarPage {
protected:
    // circuit: 0 or 1, whose presence calendar part and presence state the page shows.
    PresenceCalendarPage(int dialogId, int circuit);

    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;

private:
    node::Field state_;
    CalendarCheck check_;
};

}  // namespace vireo
