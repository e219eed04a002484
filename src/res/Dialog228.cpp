#include "res/Dialogs.h"
#include "res/PressureDialog.h"

namespace res {

using platform::ControlKind;

// Pressure: the sensor type with the analog sensor's range and offset and the live pressure,
// and the set point and supervision of regulators VI1 and VI2. All pressures in Pa.
platform::DialogTemplate Dialog228() {
    using namespace pressure;
    const char* sensor = "Sensor type";
    const char* settings = "Settings press";
    return {228,
            "Pressure",
            {
                {.id = kAnalogSensor,
                 .kind = ControlKind::Radio,
                 .text = "Analog sensor",
                 .group = sensor},
                {.id = kDigitalSensor,
                 .kind = ControlKind::Radio,
                 .text = "Digital sensor",
                 .group = sensor},
                {.id = kSensorMin,
                 .kind = ControlKind::Edit,
                 .text = "Value sensor, min",
                 .group = sensor,
                 .unit = "Pa"},
                {.id = kSensorMax,
                 .kind = ControlKind::Edit,
                 .text = "Value sensor, max",
                 .group = sensor,
                 .unit = "Pa"},
                {.id = kOffset,
                 .kind = ControlKind::Edit,
                 .text = "Offset ",
                 .group = sensor,
                 .unit = "Pa"},
                {.id = kActual,
                 .kind = ControlKind::Edit,
                 .text = "Actual press",
                 .group = sensor,
                 .unit = "Pa"},
                {.id = kSetPointVi1,
                 .kind = ControlKind::Edit,
                 .text = "Setpoint press VI1",
                 .group = settings,
                 .unit = "Pa"},
                {.id = kSetPointVi2,
                 .kind = ControlKind::Edit,
                 .text = "Setpoint press VI2",
                 .group = settings,
                 .unit = "Pa"},
                {.id = kMonitorVi1,
                 .kind = ControlKind::CheckBox,
                 .text = "Monitor VI1",
                 .group = settings},
                {.id = kStopPumpVi1,
                 .kind = ControlKind::CheckBox,
                 .text = "Stop pump VI1",
                 .group = settings},
                {.id = kMonitorVi2,
                 .kind = ControlKind::CheckBox,
                 .text = "Monitor VI2",
                 .group = settings},
                {.id = kStopPumpVi2,
                 .kind = ControlKind::CheckBox,
                 .text = "Stop pump VI2",
                 .group = settings},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res
