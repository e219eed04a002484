#include "res/PumpDialogs.h"

namespace res::pump {

using platform::ControlKind;

platform::DialogTemplate Dialog(int dialogId, const std::string& pumpName) {
    const std::string status = "Status pump (" + pumpName + ")";
    const char* alarms = "Alarm status";
    return {
        dialogId,
        "Pump",
        {
            {.id = kOff, .kind = ControlKind::Radio, .text = "Off", .group = status},
            {.id = kManual, .kind = ControlKind::Radio, .text = "Manual", .group = status},
            {.id = kAutomatic, .kind = ControlKind::Radio, .text = "Automatic", .group = status},
            {.id = kOutput, .kind = ControlKind::ReadOnlyEdit, .text = "Out", .group = status},
            {.id = kPumpFault,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Pump fault",
             .group = alarms},
            {.id = kPressFaultStop,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Press fault\nStop pump",
             .group = alarms},
            {.id = kPressFault,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Press fault",
             .group = alarms},
            {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
            {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
        }};
}

}  // namespace res::pump
