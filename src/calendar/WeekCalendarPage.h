#pragma once
// The week calendar pages: two calendars of a start and a stop time per weekday and one
// holiday start and stop, in one part of nviPluginCnf (Sunday first, each stop before its
// start). While shown, the page shows the node's clock (NV 3) and which calendar is in force
// (the page's calendar state word). A Write sends a fresh image of the 30 times, byte 0 as 0,
// after the calendar checks. The twin pages differ only in dialog, part and state variable.

#include "calendar/CalendarPage.h"

namespace vireo {

class WeekCalendarPage : public CalendarPage {
public:
    WeekCalendarPage(int dialogId, int captionId, int part, int stateNv);

    // The text of a calendar state word; nullptr for a word without one.
    static const char* StateText(int word);

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    // "Default": a working week in calendar 1.
    EditTexts DefaultTexts() const override;

private:
    int part_;
    int stateNv_;
};

}  // namespace vireo
