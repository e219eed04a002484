#include "res/PidDialogs.h"

namespace res::pid {

using platform::ControlKind;

// One row of parameters under the column heads "P", "I" and "D", then the password edit and
// the protocol buttons.
platform::DialogTemplate Dialog(int dialogId, const std::string& valveName) {
    return {dialogId,
            "PID",
            {
                {.kind = ControlKind::Static, .text = "P", .row = 0, .column = 1},
                {.kind = ControlKind::Static, .text = "I", .row = 0, .column = 2},
                {.kind = ControlKind::Static, .text = "D", .row = 0, .column = 3},
                {.kind = ControlKind::Static,
                 .text = "Valve (" + valveName + ")",
                 .row = 1,
                 .column = 0},
                {.id = kP, .kind = ControlKind::Edit, .row = 1, .column = 1},
                {.id = kI, .kind = ControlKind::Edit, .row = 1, .column = 2},
                {.id = kD, .kind = ControlKind::Edit, .row = 1, .column = 3},
                {.id = kPassword, .kind = ControlKind::PasswordEdit, .text = "Password"},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res::pid
