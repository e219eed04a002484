#include "res/Dialogs.h"

namespace res {

using platform::ControlKind;

// Dewpoint (stop): a dialog that no code reads, writes or enables.
platform::DialogTemplate Dialog230() {
    const char* group = "Dewpoint (stop)";
    return {230,
            "",
            {
                {.id = 260,
                 .kind = ControlKind::Edit,
                 .text = "Before time close \nvalve (Mv2)",
                 .group = group,
                 .unit = "sec"},
                {.id = 242,
                 .kind = ControlKind::Edit,
                 .text = "Offset dewpointtemperature \nto regulator VI2",
                 .group = group,
                 .unit = "°C"},
                {.id = 244,
                 .kind = ControlKind::Edit,
                 .text = "Offset dewpointtemperature \nclose valve (Mv2)",
                 .group = group,
                 .unit = "°C"},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read", .group = group},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write", .group = group},
            }};
}

}  // namespace res
