#include "res/Dialogs.h"
#include "res/HotWaterTankDialog.h"

namespace res {

using platform::ControlKind;

// Hot-water tank: the tank pump Mp3 and the heating element, each with its mode and live
// output, and the running time of the hot-water pump.
platform::DialogTemplate Dialog232() {
    using namespace hot_water_tank;
    const char* pump = "Status pump (Mp3)";
    const char* element = "Status Heating element";
    return {
        232,
        "Hot-water tank",
        {
            {.id = kPumpOff, .kind = ControlKind::Radio, .text = "Off", .group = pump},
            {.id = kPumpManual, .kind = ControlKind::Radio, .text = "Manual", .group = pump},
            {.id = kPumpAutomatic, .kind = ControlKind::Radio, .text = "Automatic", .group = pump},
            {.id = kPumpOutput, .kind = ControlKind::ReadOnlyEdit, .text = "Out", .group = pump},
            {.id = kRunningTime,
             .kind = ControlKind::Edit,
             .text = "Running Time\nPump HotWater",
             .group = pump,
             .unit = "sec"},
            {.id = kElementOff, .kind = ControlKind::Radio, .text = "Off", .group = element},
            {.id = kElementManual, .kind = ControlKind::Radio, .text = "Manual", .group = element},
            {.id = kElementAutomatic,
             .kind = ControlKind::Radio,
             .text = "Automatic",
             .group = element},
            {.id = kElementOutput,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Out",
             .group = element},
            {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
            {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
        }};
}

}  // namespace res
