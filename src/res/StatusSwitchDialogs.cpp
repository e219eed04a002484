#include "res/StatusSwitchDialogs.h"

namespace res::status_switch {

using platform::ControlKind;

platform::DialogTemplate Dialog(int dialogId, const std::string& switchName) {
    const char* status = "Status";
    const char* override = "Override rotary switch";
    return {
        dialogId,
        "Status Switch",
        {
            {.id = kSwitchPosition,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Rotary switch (" + switchName + ")",
             .group = status},
            {.id = kUnitMode, .kind = ControlKind::ReadOnlyEdit, .text = "Unit", .group = status},
            {.id = kBoost, .kind = ControlKind::Radio, .text = "Boost", .group = override},
            {.id = kNight, .kind = ControlKind::Radio, .text = "Night", .group = override},
            {.id = kDay, .kind = ControlKind::Radio, .text = "Day", .group = override},
            {.id = kOff, .kind = ControlKind::Radio, .text = "Off", .group = override},
            {.id = kAuto, .kind = ControlKind::Radio, .text = "Auto", .group = override},
            {.id = kOccupied, .kind = ControlKind::Radio, .text = "Occupied", .group = override},
            {.id = kManualSwitch,
             .kind = ControlKind::Radio,
             .text = "Use manual rotary switch",
             .group = override},
            {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
            {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
        }};
}

}  // namespace res::status_switch
