#include "res/Dialogs.h"
#include "res/HotWaterCalendarDialog.h"

namespace res {

// Calendar and bactericidal heating of the hot-water tank.
platform::DialogTemplate Dialog231() {
    return hot_water_calendar::Dialog();
}

}  // namespace res
