#include "res/SettingsTemperaturesDialogs.h"

#include <string>
#include <vector>

namespace res::settings_temperatures {

using platform::ControlKind;
using platform::ControlTemplate;

namespace {

constexpr const char* kTemp = "Temp";
constexpr const char* kDegrees = "°C";
constexpr int kCurveBitmap = 201;

ControlTemplate Label(const std::string& text, const char* group, int row, int column) {
    return {
        .kind = ControlKind::Static, .text = text, .group = group, .row = row, .column = column};
}

ControlTemplate ProtocolButton(int id, const char* text) {
    return {.id = id, .kind = ControlKind::PushButton, .text = text};
}

}  // namespace

// The set point box: the way of producing the set point with the number of curve points,
// the night offset and the constant temperatures on the left, the live values on the right.
// Then the curve: the outdoor temperatures of points 1 to 5 side by side, the forward
// temperatures one below the other beside the drawing of the curve.
platform::DialogTemplate Circuit1Dialog() {
    std::vector<ControlTemplate> controls = {
        {.id = kCalculatedSetPointOn,
         .kind = ControlKind::CheckBox,
         .text = "Calc.setpt    ",
         .group = kTemp,
         .row = 0,
         .column = 0},
    };
    // A labelled edit in the box at row, starting at column (label, edit, unit).
    const auto labelled = [&controls](int id, ControlKind kind, const char* label, int row,
                                      int column, bool unit) {
        controls.push_back(Label(label, kTemp, row, column));
        controls.push_back(
            {.id = id, .kind = kind, .group = kTemp, .row = row, .column = column + 1});
        if (unit) {
            controls.push_back(Label(kDegrees, kTemp, row, column + 2));
        }
    };
    labelled(kCurvePoints, ControlKind::Edit, "Number of temp setpoint (2-5)", 1, 0, false);
    labelled(kNightOffset, ControlKind::Edit, "Offset\nnight temp.", 2, 0, true);
    labelled(kConstantDay, ControlKind::Edit, "Constant\nday temp", 3, 0, true);
    labelled(kConstantNight, ControlKind::Edit, "Constant\nnight temp", 4, 0, true);
    // Column 3 stays empty between the two sides.
    labelled(kCalculatedSetPoint, ControlKind::ReadOnlyEdit, "Calc.", 1, 4, true);
    labelled(kActualForward, ControlKind::ReadOnlyEdit, "Actual forward", 2, 4, true);
    labelled(kOutdoorTemperature, ControlKind::ReadOnlyEdit, "Outdoor temp", 3, 4, true);
    const char* outdoor = "Outdoor temp";
    const char* forward = "Forward temp";
    for (int k = 0; k < 5; ++k) {
        const std::string point = std::to_string(k + 1);
        controls.push_back(Label(point, outdoor, 0, k));
        controls.push_back({.id = kCurveOutdoor[static_cast<std::size_t>(k)],
                            .kind = ControlKind::Edit,
                            .group = outdoor,
                            .row = 1,
                            .column = k});
    }
    controls.push_back(Label(kDegrees, outdoor, 1, 5));
    for (int k = 0; k < 5; ++k) {
        controls.push_back(Label(std::to_string(k + 1), forward, k, 0));
        controls.push_back({.id = kCurveForward[static_cast<std::size_t>(k)],
                            .kind = ControlKind::Edit,
                            .group = forward,
                            .row = k,
                            .column = 1});
        controls.push_back(Label(kDegrees, forward, k, 2));
    }
    // Bitmap 201, the heating curve through the points, beside the forward temperatures.
    controls.push_back({.kind = ControlKind::Icon,
                        .group = forward,
                        .row = 0,
                        .column = 3,
                        .rowSpan = 5,
                        .bitmap = kCurveBitmap});
    // The curve as the technician types it, under the drawing.
    controls.push_back({.id = kCurveChart, .kind = ControlKind::Chart, .group = "Heating curve"});
    controls.push_back(ProtocolButton(211, "Read"));
    controls.push_back(ProtocolButton(210, "Write"));
    return {220, "Settings Temperatures", std::move(controls)};
}

platform::DialogTemplate Circuit2Dialog() {
    return {229,
            "Settings Temperatures",
            {
                {.id = kNightLowering,
                 .kind = ControlKind::CheckBox,
                 .text = "Night lowering",
                 .group = kTemp},
                {.id = kConstantDay,
                 .kind = ControlKind::Edit,
                 .text = "Constant\nday temp",
                 .group = kTemp,
                 .unit = kDegrees},
                {.id = kConstantNight,
                 .kind = ControlKind::Edit,
                 .text = "Constant\nnight temp",
                 .group = kTemp,
                 .unit = kDegrees},
                {.id = kActualForward,
                 .kind = ControlKind::ReadOnlyEdit,
                 .text = "Actual forward",
                 .group = kTemp,
                 .unit = kDegrees},
                ProtocolButton(211, "Read"),
                ProtocolButton(210, "Write"),
            }};
}

}  // namespace res::settings_temperatures
