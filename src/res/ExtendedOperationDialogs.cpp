#include "res/ExtendedOperationDialogs.h"

namespace res::extended_operation {

using platform::ControlKind;

// Everything sits in the group box "Time": one row per delay, its edit with the "Start" button
// beside it, then "Read" and "Write".
platform::DialogTemplate Dialog(int dialogId) {
    const char* group = "Time";
    return {dialogId,
            "Extended operation",
            {
                {.id = kBoostDelay,
                 .kind = ControlKind::Edit,
                 .text = "Start boost temperature in X Hours",
                 .group = group},
                {.id = kStartBoost,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 0,
                 .column = 2},
                {.id = kDayDelay,
                 .kind = ControlKind::Edit,
                 .text = "Start day temperature in X Hours",
                 .group = group},
                {.id = kStartDay,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 1,
                 .column = 2},
                {.id = kNightDelay,
                 .kind = ControlKind::Edit,
                 .text = "Start night temperature in X Hours",
                 .group = group},
                {.id = kStartNight,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 2,
                 .column = 2},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read", .group = group},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write", .group = group},
            }};
}

}  // namespace res::extended_operation
