#include "res/ExtendedOperationDialogs.h"

namespace res {

using platform::ControlKind;

// Everything sits in the group box "Time": one row per delay, its edit with the "Start" button
// beside it, then "Read" and "Write".
platform::DialogTemplate ExtendedOperationDialog(int dialogId) {
    const char* group = "Time";
    return {dialogId,
            "Extended operation",
            {
                {.id = IDC_BOOST_DELAY,
                 .kind = ControlKind::Edit,
                 .text = "Start boost temperature in X Hours",
                 .group = group},
                {.id = IDC_START_BOOST,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 0,
                 .column = 2},
                {.id = IDC_DAY_DELAY,
                 .kind = ControlKind::Edit,
                 .text = "Start day temperature in X Hours",
                 .group = group},
                {.id = IDC_START_DAY,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 1,
                 .column = 2},
                {.id = IDC_NIGHT_DELAY,
                 .kind = ControlKind::Edit,
                 .text = "Start night temperature in X Hours",
                 .group = group},
                {.id = IDC_START_NIGHT,
                 .kind = ControlKind::PushButton,
                 .text = "Start",
                 .group = group,
                 .row = 2,
                 .column = 2},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read", .group = group},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write", .group = group},
            }};
}

}  // namespace res
