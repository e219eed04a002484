#include "pages/PumpPage.h"

#include "node/NodeFields.h"
#include "res/PumpDialogs.h"

namespace vireo {

namespace fields = node::fields;
using namespace res::pump;

PumpPage::PumpPage(int dialogId, int pump)
    : CNodePage(dialogId, dialogId, behaviour::LeavingFocus(behaviour::RefreshRead())) {
    const Bound config[] = {ModeRadios(fields::kPumpMode[pump], kOff, kManual, kAutomatic)};
    const Bound live[] = {
        FlagText(fields::kPumpRunning[pump], kOutput, "ON", "OFF"),
        AlarmText(fields::kPumpFault[pump], kPumpFault),
        AlarmText(fields::kPressureFaultStop[pump], kPressFaultStop),
        AlarmText(fields::kPressureFault[pump], kPressFault),
    };
    DeclareFields(config, live);
    MakeRadioGroup({kOff, kManual, kAutomatic});
}

}  // namespace vireo
