#include <map>

#include "res/AnalogValveDialogs.h"
#include "res/AntifrostDialogs.h"
#include "res/ExerciseDialogs.h"
#include "res/ExtendedOperationDialogs.h"
#include "res/HotWaterCalendarDialog.h"
#include "res/NightLoweringDialogs.h"
#include "res/OtherDialogs.h"
#include "res/PidDialogs.h"
#include "res/PresenceCalendarDialogs.h"
#include "res/PumpDialogs.h"
#include "res/Resources.h"
#include "res/SettingsTemperaturesDialogs.h"
#include "res/StatusSwitchDialogs.h"
#include "res/TemperaturesDialogs.h"
#include "res/WeekCalendarDialogs.h"

namespace res {

namespace {

using platform::DialogTemplate;
using Maker = DialogTemplate (*)();

// A dialog with no controls yet; FindDialog gives it its id.
DialogTemplate NoControls() {
    return {};
}

// Every dialog resource of the module by id: what it is, and the builder of its template.
// Built on first use, as the templates are.
const std::map<int, Maker>& Makers() {
    static const std::map<int, Maker> kMakers = {
        {1, &AboutDialog},           // About Vireo Control.
        {200, &NodeInfoDialog},      // Node Information: the node's name and the variant buttons.
        {201, &ImportExportDialog},  // Import / Export: settings files and the factory settings.
        {202, &NoControls},          // No controls yet.
        {203, &SetTimeDialog},       // Set Time: the PC's time beside the node's clock.
        // Week calendars of page sets 1 and 2.
        {204, [] { return week_calendar::Dialog(204); }},
        {205, [] { return week_calendar::Dialog(205); }},
        // Presence calendars of circuits 1 and 2.
        {206, [] { return presence_calendar::Dialog(206); }},
        {207, [] { return presence_calendar::Dialog(207); }},
        // Status Switch of rotary switches Sw1 and Sw2.
        {208, [] { return status_switch::Dialog(208, "Sw1"); }},
        {209, [] { return status_switch::Dialog(209, "Sw2"); }},
        // Analog Valve, valves Mv1 and Mv3, then valves Mv2 and Mv4.
        {210,
         [] {
             return analog_valve::Dialog(210, {"Mv1", analog_valve::kValveMv1Ids},
                                         {"Mv3", analog_valve::kValveMv3Ids});
         }},
        {211,
         [] {
             return analog_valve::Dialog(211, {"Mv2", analog_valve::kValveMv2Ids},
                                         {"Mv4", analog_valve::kValveMv4Ids});
         }},
        // Pumps Mp1 and Mp2.
        {212, [] { return pump::Dialog(212, "Mp1"); }},
        {213, [] { return pump::Dialog(213, "Mp2"); }},
        // Extended operation, circuits 1 and 2.
        {214, [] { return extended_operation::Dialog(214); }},
        {215, [] { return extended_operation::Dialog(215); }},
        // Antifrost of circuit 1 (return sensor Bw2) and circuit 2 (return sensor Bw4).
        {216, [] { return antifrost::Dialog(216, "Bw2"); }},
        {217, [] { return antifrost::Dialog(217, "Bw4"); }},
        // Temperatures of circuits 1 (forward Bw1, return Bw2) and 2 (forward Bw3, return Bw4).
        {218,
         [] {
             return temperatures::Dialog(218, {"Bw1", "Bw2", temperatures::kCircuit1Ids});
         }},
        {219,
         [] {
             return temperatures::Dialog(219, {"Bw3", "Bw4", temperatures::kCircuit2Ids});
         }},
        {220, &settings_temperatures::Circuit1Dialog},  // Settings Temperatures, circuit 1.
        // Night lowering / Summer stop of circuit 1, and the same controls for the page that no
        // page set holds.
        {221, [] { return night_lowering::Dialog(221); }},
        {222, [] { return night_lowering::Dialog(222); }},
        // Exercise / Digital Valve, circuits 1 and 2.
        {223, [] { return exercise::Dialog(223); }},
        {224, [] { return exercise::Dialog(224); }},
        // PID of valves Mv1 and Mv2.
        {225, [] { return pid::Dialog(225, "Mv1"); }},
        {226, [] { return pid::Dialog(226, "Mv2"); }},
        {227, &OutdoorDialog},   // Outdoor Temperatures: sensor Bs and its offset.
        {228, &PressureDialog},  // Pressure: the sensor, set points and supervision of VI1 and VI2.
        {229, &settings_temperatures::Circuit2Dialog},  // Settings Temperatures, circuit 2.
        {230, &DewpointDialog},  // Dewpoint (stop): no code reads, writes or enables it.
        {231, &hot_water_calendar::Dialog},  // Hot-water tank calendar and bactericidal heating.
        {232, &HotWaterTankDialog},          // Hot-water tank: pump Mp3 and the heating element.
        // No controls yet.
        {233, &NoControls},
        {234, &NoControls},
        {235, &NoControls},
        {236, &NodeComparisonDialog},  // Compare with node: a settings file beside the node.
    };
    return kMakers;
}

}  // namespace

const platform::DialogTemplate* FindDialog(int id) {
    const auto& makers = Makers();
    const auto maker = makers.find(id);
    if (maker == makers.end()) {
        return nullptr;
    }
    // Built once, on first use, and kept for the module's lifetime.
    static std::map<int, DialogTemplate> built;
    auto it = built.find(id);
    if (it == built.end()) {
        DialogTemplate tmpl = maker->second();
        tmpl.id = id;
        it = built.emplace(id, std::move(tmpl)).first;
    }
    return &it->second;
}

}  // namespace res
