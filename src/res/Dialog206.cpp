#include "res/Dialogs.h"
#include "res/PresenceCalendarDialogs.h"

namespace res {

// Presence calendar of circuit 1.
platform::DialogTemplate Dialog206() {
    return presence_calendar::Dialog(206);
}

}  // namespace res
