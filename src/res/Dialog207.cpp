#include "res/Dialogs.h"
#include "res/PresenceCalendarDialogs.h"

namespace res {

// Presence calendar of circuit 2.
platform::DialogTemplate Dialog207() {
    return presence_calendar::Dialog(207);
}

}  // namespace res
