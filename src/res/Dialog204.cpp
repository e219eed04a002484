#include "res/Dialogs.h"
#include "res/WeekCalendarDialogs.h"

namespace res {

// Week calendars of page set 1.
platform::DialogTemplate Dialog204() {
    return week_calendar::Dialog(204);
}

}  // namespace res
