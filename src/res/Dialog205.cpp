#include "res/Dialogs.h"
#include "res/WeekCalendarDialogs.h"

namespace res {

// Week calendars of page set 2.
platform::DialogTemplate Dialog205() {
    return week_calendar::Dialog(205);
}

}  // namespace res
