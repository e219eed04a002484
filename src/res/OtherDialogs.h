#pragma once
// The dialogs that belong to no family of their own: the module's about box, the node's
// identity, settings files and clock, and the plant's single sensors and hot-water tank. The
// control ids each shares with its page are in its own header (NodeInfoDialog.h and the rest).

#include "platform/DialogTemplate.h"

namespace res {

platform::DialogTemplate AboutDialog();           // 1
platform::DialogTemplate NodeInfoDialog();        // 200
platform::DialogTemplate ImportExportDialog();    // 201
platform::DialogTemplate NodeComparisonDialog();  // 236
platform::DialogTemplate SetTimeDialog();         // 203
platform::DialogTemplate OutdoorDialog();         // 227
platform::DialogTemplate PressureDialog();        // 228
platform::DialogTemplate DewpointDialog();        // 230
platform::DialogTemplate HotWaterTankDialog();    // 232

}  // namespace res
