#include "res/NightLoweringDialogs.h"

namespace res::night_lowering {

using platform::ControlKind;

platform::DialogTemplate Dialog(int dialogId) {
    const char* night = "Night lowering";
    const char* summer = "Summer stop";
    return {dialogId,
            "Night lowering / Summer stop",
            {
                {.id = kNightLowering,
                 .kind = ControlKind::CheckBox,
                 .text = "Night lowering",
                 .group = night},
                {.id = kRoomStartStop,
                 .kind = ControlKind::CheckBox,
                 .text = "Start/stop after room temp",
                 .group = night},
                {.id = kRoomSetPoint,
                 .kind = ControlKind::Edit,
                 .text = "Setpoint room temp",
                 .group = night,
                 .unit = "°C"},
                {.id = kRoomTemperature,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Actual room temp",
                 .group = night,
                 .unit = "°C"},
                {.id = kSummerStop,
                 .kind = ControlKind::CheckBox,
                 .text = "Summer stop",
                 .group = summer},
                {.id = kSummerStopTemperature,
                 .kind = ControlKind::Edit,
                 .text = "Temp before summer stop",
                 .group = summer,
                 .unit = "°C"},
                {.id = kPumpStopDelay,
                 .kind = ControlKind::Edit,
                 .text = "Time before pump stop",
                 .group = summer,
                 .unit = "sec"},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res::night_lowering
