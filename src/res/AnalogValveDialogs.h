#pragma once
// The dialogs of the two Analog Valve pages (210: valves Mv1 and Mv3, 211: valves Mv2 and
// Mv4) and their control ids. Both dialogs have the same controls; only the ids of the valve
// controls and the valve names differ.

#include "platform/DialogTemplate.h"

namespace res::analog_valve {

// The controls of one valve.
struct AnalogValveControlIds {
    int off;         // mode radio "Off"
    int manual;      // mode radio "Manual"
    int automatic;   // mode radio "Automatic"
    int in;          // manual output edit "In"
    int out;         // live output, read-only edit "Out"
    int volts0to10;  // radio "0-10 volt"
    int volts2to10;  // radio "2-10 volt"
    int invert;      // check box "Invert"
};

inline constexpr AnalogValveControlIds kValveMv1Ids{296, 297, 298, 299, 300, 301, 302, 303};
inline constexpr AnalogValveControlIds kValveMv3Ids{304, 305, 306, 307, 308, 309, 310, 311};
inline constexpr AnalogValveControlIds kValveMv2Ids{358, 359, 360, 369, 370, 361, 362, 367};
inline constexpr AnalogValveControlIds kValveMv4Ids{363, 364, 365, 239, 371, 366, 330, 368};

// The same ids on both dialogs.
inline constexpr int kCascade = 246;
inline constexpr int kCascadeOutput = 280;

// One valve of a dialog: its name as the labels show it ("Mv1") and its controls.
struct AnalogValveDialogValve {
    const char* name;
    AnalogValveControlIds ids;
};

// The dialog of one page: the first valve (the one that opens fully first in cascade) and the
// second.
platform::DialogTemplate Dialog(int dialogId, const AnalogValveDialogValve& first,
                                const AnalogValveDialogValve& second);

}  // namespace res::analog_valve
