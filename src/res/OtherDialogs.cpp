#include "res/OtherDialogs.h"

#include "res/HotWaterTankDialog.h"
#include "res/NodeComparisonDialog.h"
#include "res/OutdoorDialog.h"
#include "res/PressureDialog.h"
#include "res/SetTimeDialog.h"

namespace res {

using platform::ControlKind;

// The module's own dialogs: about, the node's identity, settings files and the clock.

// About Vireo Control.
platform::DialogTemplate AboutDialog() {
    return {1,
            "About Vireo Control",
            {
                {.id = 0, .kind = ControlKind::Icon},
                {.id = 0, .kind = ControlKind::Static, .text = "Vireo Control, Version 1.0"},
                {.id = 1, .kind = ControlKind::DefaultPushButton, .text = "OK"},
            }};
}

// Node Information: the node's name and the variant buttons.
platform::DialogTemplate NodeInfoDialog() {
    return {200,
            "Node Information",
            {
                {.id = 231, .kind = ControlKind::ReadOnlyEdit, .group = "Nodename"},
                {.id = 234, .kind = ControlKind::PushButton, .text = "VI1", .disabled = true},
                {.id = 235, .kind = ControlKind::PushButton, .text = "VI2"},
            }};
}

// Import / Export: export to and download from a settings file, and the factory settings.
platform::DialogTemplate ImportExportDialog() {
    const char* factory = "Factory settings";
    return {
        201,
        "Import / Export",
        {
            {.id = 231, .kind = ControlKind::Edit, .text = "Nodename :"},
            {.id = 428, .kind = ControlKind::Edit, .text = "Filename", .path = true},
            {.id = 429, .kind = ControlKind::PushButton, .text = "Default"},
            {.id = 427, .kind = ControlKind::PushButton, .text = "Save to file"},
            {.id = 430, .kind = ControlKind::PushButton, .text = "Read from file"},
            {.id = 431, .kind = ControlKind::PushButton, .text = "Compare with node..."},
            {.id = 0,
             .kind = ControlKind::Static,
             .text = "Please note: After setting the software values to factory settings, "
                     "you must RESTART the plugin.",
             .group = factory},
            {.id = 226, .kind = ControlKind::PasswordEdit, .text = "Password", .group = factory},
            {.id = 201,
             .kind = ControlKind::PushButton,
             .text = "Default settings",
             .group = factory},
        }};
}

// Compare with node: a settings file's values beside the node's, changed rows marked.
platform::DialogTemplate NodeComparisonDialog() {
    using namespace node_comparison;
    return {kDialog,
            "Compare with node",
            {
                {.id = kSummary, .kind = ControlKind::Static},
                {.id = kTable, .kind = ControlKind::Table},
                {.id = kOk, .kind = ControlKind::DefaultPushButton, .text = "OK"},
            }};
}

// Set Time: the PC's date and time beside the node's clock, and the button that copies the
// PC's time to the node.
platform::DialogTemplate SetTimeDialog() {
    using namespace set_time;
    const char* pc = "Current time on PC";
    const char* node = "Current time in Node";
    return {203,
            "Set Time",
            {
                {.id = kPcDate, .kind = ControlKind::ReadOnlyEdit, .text = "Date", .group = pc},
                {.id = kPcTime, .kind = ControlKind::ReadOnlyEdit, .text = "Time", .group = pc},
                {.id = kNodeDate, .kind = ControlKind::ReadOnlyEdit, .text = "Date", .group = node},
                {.id = kNodeWeekday,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Weekday",
                 .group = node,
                 .nodeValue = false},
                {.id = kNodeTime, .kind = ControlKind::ReadOnlyEdit, .text = "Time", .group = node},
                {.id = kSync, .kind = ControlKind::PushButton, .text = "Sync"},
            }};
}

// The plant's sensors and the hot-water tank.

// Outdoor Temperatures: the measured temperature of the outdoor sensor Bs and its offset.
platform::DialogTemplate OutdoorDialog() {
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

// Pressure: the sensor type with the analog sensor's range and offset and the live pressure,
// and the set point and supervision of regulators VI1 and VI2. All pressures in Pa.
platform::DialogTemplate PressureDialog() {
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

// Dewpoint (stop): a dialog that no code reads, writes or enables.
platform::DialogTemplate DewpointDialog() {
    const char* group = "Dewpoint (stop)";
    return {230,
            "",
            {
                {.id = 260,
                 .kind = ControlKind::Edit,
                 .text = "Before time close \nvalve (Mv2)",
                 .group = group,
                 .unit = "sec"},
                {.id = 242,
                 .kind = ControlKind::Edit,
                 .text = "Offset dewpointtemperature \nto regulator VI2",
                 .group = group,
                 .unit = "°C"},
                {.id = 244,
                 .kind = ControlKind::Edit,
                 .text = "Offset dewpointtemperature \nclose valve (Mv2)",
                 .group = group,
                 .unit = "°C"},
                {.id = 211, .kind = ControlKind::PushButton, .text = "Read", .group = group},
                {.id = 210, .kind = ControlKind::PushButton, .text = "Write", .group = group},
            }};
}

// Hot-water tank: the tank pump Mp3 and the heating element, each with its mode and live
// output, and the running time of the hot-water pump.
platform::DialogTemplate HotWaterTankDialog() {
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
