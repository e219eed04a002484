#include "res/ExerciseDialogs.h"

#include "res/ControlIds.h"

namespace res::exercise {

using platform::ControlKind;

platform::DialogTemplate Dialog(int dialogId) {
    const char* exercise = "Exercise pump/valve";
    const char* digitalValve = "Digital valve";
    return {dialogId,
            "Exercise / Digital Valve",
            {
                {.id = kPumpIdleTime,
                 .kind = ControlKind::Edit,
                 .text = "Time stop before exercise pump",
                 .group = exercise,
                 .unit = "hours"},
                {.id = kValveIdleTime,
                 .kind = ControlKind::Edit,
                 .text = "Time stop before exercise valve",
                 .group = exercise,
                 .unit = "hours"},
                {.id = kValveRunningTime,
                 .kind = ControlKind::Edit,
                 .text = "Time to drive the valve\nfully closed from fully opened",
                 .group = digitalValve,
                 .unit = "sec"},
                {.id = kValvePause,
                 .kind = ControlKind::Edit,
                 .text = "Time to wait before\nnext execution",
                 .group = digitalValve,
                 .unit = "sec"},
                {.id = kCalibrationTime,
                 .kind = ControlKind::Edit,
                 .text = "Calibration digital valve",
                 .group = digitalValve,
                 .unit = "Time"},
                {.id = common::kRead, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = common::kWrite, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res::exercise
