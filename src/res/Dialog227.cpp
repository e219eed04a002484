#include "res/Dialogs.h"
#include "res/OutdoorDialog.h"

namespace res {

using platform::ControlKind;

// Outdoor Temperatures: the measured temperature of the outdoor sensor Bs and its offset.
platform::DialogTemplate Dialog227() {
    using namespace outdoor;
    const char* sensor = "Temp sensor outdoor (Bs)";
    return {227,
            "Outdoor Temperatures",
            {
                {.id = kActual,
                 .kind = ControlKind::Edit,
                 .text = "Actual",
                 .group = sensor,
                 .unit = "°C"},
                {.id = kOffset,
                 .kind = ControlKind::Edit,
                 .text = "Offset",
                 .group = sensor,
                 .unit = "°C"},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
            }};
}

}  // namespace res
