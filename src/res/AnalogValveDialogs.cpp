#include "res/AnalogValveDialogs.h"

#include <string>

namespace res::analog_valve {

using platform::ControlKind;
using platform::ControlTemplate;

namespace {

// The status box (mode radios side by side, then "In" and "Out") and the settings box (voltage
// radios side by side, then "Invert") of one valve.
void AddValve(std::vector<ControlTemplate>& controls, const AnalogValveDialogValve& valve) {
    const std::string name = valve.name;
    const std::string status = "Status valve (" + name + ")";
    const std::string settings = "Settings valve (" + name + ")";
    const AnalogValveControlIds& ids = valve.ids;
    controls.insert(
        controls.end(),
        {
            {.id = ids.off,
             .kind = ControlKind::Radio,
             .text = "Off",
             .group = status,
             .row = 0,
             .column = 0},
            {.id = ids.manual,
             .kind = ControlKind::Radio,
             .text = "Manual",
             .group = status,
             .row = 0,
             .column = 1},
            {.id = ids.automatic,
             .kind = ControlKind::Radio,
             .text = "Automatic",
             .group = status,
             .row = 0,
             .column = 2},
            {.id = ids.in, .kind = ControlKind::Edit, .text = "In", .group = status, .unit = "%"},
            {.id = ids.out,
             .kind = ControlKind::ReadOnlyEdit,
             .text = "Out",
             .group = status,
             .unit = "%"},
            {.id = ids.volts0to10,
             .kind = ControlKind::Radio,
             .text = "0-10 volt",
             .group = settings,
             .row = 0,
             .column = 0},
            {.id = ids.volts2to10,
             .kind = ControlKind::Radio,
             .text = "2-10 volt",
             .group = settings,
             .row = 0,
             .column = 1},
            {.id = ids.invert, .kind = ControlKind::CheckBox, .text = "Invert", .group = settings},
        });
}

}  // namespace

platform::DialogTemplate Dialog(int dialogId, const AnalogValveDialogValve& first,
                                const AnalogValveDialogValve& second) {
    std::vector<ControlTemplate> controls;
    AddValve(controls, first);
    AddValve(controls, second);
    const std::string cascadeLabel =
        std::string("Valve ") + first.name + " open 100%\nbefore valve " + second.name + " open";
    controls.insert(controls.end(),
                    {
                        {.id = kCascade, .kind = ControlKind::CheckBox, .text = "Cascade"},
                        {.id = kCascadeOutput,
                         .kind = ControlKind::Edit,
                         .text = cascadeLabel,
                         .unit = "% output"},
                        {.id = 211, .kind = ControlKind::PushButton, .text = "Read"},
                        {.id = 210, .kind = ControlKind::PushButton, .text = "Write"},
                    });
    return {dialogId, "Analog Valve", std::move(controls)};
}

}  // namespace res::analog_valve
