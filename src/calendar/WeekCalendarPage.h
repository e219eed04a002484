#pragma once
// The week calendar pages: two calendars of a start and a stop time per weekday and one
// holiday start and stop, in one part of nviPluginCnf (Sunday first, each stop before its
// start). While shown, the page shows the node's clock (NV 3) and which calendar is in force
// (the page's calendar state word). A Write sends a fresh image of the 30 times, byte 0 as 0,
// after the calendar checks. The twin pages differ only in dialog and circuit.
// Beside the edits the week is drawn as it is typed: a row per day, calendar 1 over calendar
// 2, and the holiday; a text that is no time, a stop before its start and the lone times of a
// calendar with unequally many starts and stops show red in their edits and in the picture,
// why in the tooltip. Two buttons copy Monday's times into other days' edits; only Write
// sends them.

#include <vector>

#include "calendar/CalendarPage.h"
#include "node/NodeField.h"

namespace vireo {

class WeekCalendarPage : public CalendarPage {
public:
    // circuit: 0 or 1, whose week calendar part and calendar state the page shows.
    WeekCalendarPage(int dialogId, int captionId, int circuit);

    BOOL OnInitDialog() override;

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    // "Default": a working week in calendar 1.
    EditTexts DefaultTexts() const override;

private:
    void DrawWeek();
    // Monday's four edits into the same edits of the rows (0 Monday).
    void CopyMonday(int firstRow, int lastRow);

    node::Field state_;
    std::vector<CalendarCheck> checks_;
};

}  // namespace vireo
