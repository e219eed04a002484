#pragma once
// Calender hot-water tank: the tank's week calendar in the calendar 2 positions of part 12
// (shared with the presence calendar of circuit 2) and the five bactericidal heating settings
// of part 4. Read on show; timer 1 runs while the page is visible but refreshes nothing.

#include "calendar/CalendarPage.h"

namespace vireo {

class HotWaterCalendarPage : public CalendarPage {
public:
    HotWaterCalendarPage();

protected:
    void ReadConfig() override;
    // The bactericidal settings are written first, whatever becomes of the calendar.
    void WriteConfig() override;
};

}  // namespace vireo
