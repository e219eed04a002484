#include "res/Dialogs.h"
#include "res/SetTimeDialog.h"

namespace res {

using platform::ControlKind;

// Set Time: the PC's date and time beside the node's clock, and the button that copies the
// PC's time to the node.
platform::DialogTemplate Dialog203() {
    using namespace set_time;
    const char* pc = "Current time on PC";
    const char* node = "Current time in Node";
    return {203,
            "Set Time",
            {
                {.id = kPcDate, .kind = ControlKind::Edit, .text = "Date", .group = pc},
                {.id = kPcTime, .kind = ControlKind::Edit, .text = "Time", .group = pc},
                {.id = kNodeDate, .kind = ControlKind::Edit, .text = "Date", .group = node},
                {.id = kNodeTime, .kind = ControlKind::Edit, .text = "Time", .group = node},
                {.id = kSync, .kind = ControlKind::PushButton, .text = "Sync"},
            }};
}

}  // namespace res
