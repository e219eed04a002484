#include "res/AntifrostDialogs.h"

#include <string>

namespace res::antifrost {

using platform::ControlKind;

platform::DialogTemplate Dialog(int dialogId, const char* returnSensor) {
    const char* group = "Antifrost";
    return {
        dialogId,
        "Antifrost",
        {
            {.id = kAntifrost,
             .kind = ControlKind::CheckBox,
             .text = "Antifrost                     ",
             .group = group},
            {.id = kOutdoorStart,
             .kind = ControlKind::Edit,
             .text = "Outdoor temp start",
             .group = group,
             .unit = "°C"},
            {.id = kOutdoorStop,
             .kind = ControlKind::Edit,
             .text = "Outdoor temp stop",
             .group = group,
             .unit = "°C"},
            {.id = kReturnTemperature,
             .kind = ControlKind::Edit,
             .text = std::string("Return temp\nheating surface (") + returnSensor + ")",
             .group = group,
             .unit = "°C"},
            {.id = kActualOutdoor,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Actual outdoor temp",
             .group = group,
             .unit = "°C"},
            {.id = kStatus, .kind = ControlKind::ReadOnlyEdit, .text = "Status", .group = group},
            {.id = 211, .kind = ControlKind::PushButton, .text = "Read", .group = group},
            {.id = 210, .kind = ControlKind::PushButton, .text = "Write", .group = group},
        }};
}

}  // namespace res::antifrost
