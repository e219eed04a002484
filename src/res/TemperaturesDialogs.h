#pragma once
// The dialogs of the two Temperatures pages (218: sensors Bw1 and Bw2 of circuit 1, 219: Bw3 and
// Bw4 of circuit 2) and their control ids. Both dialogs have the same controls; the ids of the
// sensor controls and the sensor names differ.

#include "platform/DialogTemplate.h"

namespace res::temperatures {

// The controls of the forward and return sensors, different on the two dialogs.
struct SensorControlIds {
    int forwardLive;    // read-only edit "Actual"
    int forwardOffset;  // edit "Offset"
    int returnLive;     // read-only edit "Actual"
    int returnOffset;   // edit "Offset"
};

inline constexpr SensorControlIds kCircuit1Ids{256, 207, 258, 208};
inline constexpr SensorControlIds kCircuit2Ids{215, 216, 217, 218};

// The same ids on both dialogs.
inline constexpr int kLowForwardOffset = 214;  // "Offset temp"
inline constexpr int kLowForwardDelay = 260;   // "Time ", minutes
inline constexpr int kLowForwardStatus = 261;  // read-only "Low temp" / "High temp"
inline constexpr int kMaxReturn = 259;
inline constexpr int kReturnDeadBand = 262;

// The sensors of one dialog: their names as the group boxes show them ("Bw1") and their controls.
struct TemperaturesDialogSensors {
    const char* forwardName;
    const char* returnName;
    SensorControlIds ids;
};

platform::DialogTemplate Dialog(int dialogId, const TemperaturesDialogSensors& sensors);

}  // namespace res::temperatures
