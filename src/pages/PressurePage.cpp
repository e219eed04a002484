#include "pages/PressurePage.h"

#include "node/NodeFields.h"
#include "res/PressureDialog.h"

namespace vireo {

namespace {

using namespace res::pressure;
namespace fields = node::fields;

// Neither sensor radio marked stores the digital sensor.
constexpr Bound kConfig[] = {
    FlagRadios(fields::kAnalogPressureSensor, kDigitalSensor, kAnalogSensor),
    Check(fields::kMonitorPressure[0], kMonitorVi1),
    Check(fields::kMonitorPressure[1], kMonitorVi2),
    Check(fields::kPressureStopsPump[0], kStopPumpVi1),
    Check(fields::kPressureStopsPump[1], kStopPumpVi2),
    Edit(fields::kPressureMin, kSensorMin),
    Edit(fields::kPressureMax, kSensorMax),
    Edit(fields::kPressureOffset, kOffset),
    Edit(fields::kPressureSetPoint[0], kSetPointVi1),
    Edit(fields::kPressureSetPoint[1], kSetPointVi2),
};
constexpr Bound kLive[] = {Edit(fields::kPressure, kActual)};

}  // namespace

// Parts 1 and 6 are read with 32 bytes on Read and on the reads of a Write. The edits are
// written whether or not the digital rule disabled them.
PressurePage::PressurePage() : CNodePage(228, 264, behaviour::RefreshRead()) {
    DeclareFields(kConfig, kLive);
    SetReadLengths({.read = nv::kBufferSize, .modify = nv::kBufferSize});
    MakeRadioGroup({kDigitalSensor, kAnalogSensor});
    // The range, offset, set point and live edits belong to the analog sensor; the four check
    // boxes are never disabled.
    EnableWhile(kAnalogSensor,
                {kSensorMin, kSensorMax, kOffset, kSetPointVi1, kSetPointVi2, kActual});
}

}  // namespace vireo
