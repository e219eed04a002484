#include "res/TemperaturesDialogs.h"

#include <string>

#include "res/ControlIds.h"

namespace res::temperatures {

using platform::ControlKind;

// Four group boxes: the forward sensor, the return sensor, the low forward temperature
// monitoring of the forward sensor, and the maximum return temperature; then "Read" and "Write".
platform::DialogTemplate Dialog(int dialogId, const TemperaturesDialogSensors& sensors) {
    const std::string forwardName = sensors.forwardName;
    const std::string forward = "Temp sensor forward (" + forwardName + ")";
    const std::string back = "Temp sensor return (" + std::string(sensors.returnName) + ")";
    const std::string lowForward = "Low forward temp (" + forwardName + ")";
    const char* returnTemp = "Return temp";
    const SensorControlIds& ids = sensors.ids;
    return {dialogId,
            "Temperatures",
            {
                {.id = ids.forwardLive,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Actual",
                 .group = forward,
                 .unit = "°C"},
                {.id = ids.forwardOffset,
                 .kind = ControlKind::Edit,
                 .text = "Offset",
                 .group = forward,
                 .unit = "°C"},
                {.id = ids.returnLive,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Actual",
                 .group = back,
                 .unit = "°C"},
                {.id = ids.returnOffset,
                 .kind = ControlKind::Edit,
                 .text = "Offset",
                 .group = back,
                 .unit = "°C"},
                {.id = kLowForwardOffset,
                 .kind = ControlKind::Edit,
                 .text = "Offset temp",
                 .group = lowForward,
                 .unit = "°C"},
                {.id = kLowForwardDelay,
                 .kind = ControlKind::Edit,
                 .text = "Time ",
                 .group = lowForward,
                 .unit = "min"},
                {.id = kLowForwardStatus,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Status",
                 .group = lowForward},
                {.id = kMaxReturn,
                 .kind = ControlKind::Edit,
                 .text = "Max return\ntemp",
                 .group = returnTemp,
                 .unit = "°C"},
                {.id = kReturnDeadBand,
                 .kind = ControlKind::Edit,
                 .text = "Ddb for\nreturn temp",
                 .group = returnTemp,
                 .unit = "°C"},
                {.id = common::kRead, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = common::kWrite, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res::temperatures
