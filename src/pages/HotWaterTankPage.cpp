#include "pages/HotWaterTankPage.h"

#include "node/NodeFields.h"
#include "res/HotWaterTankDialog.h"

namespace vireo {

namespace fields = node::fields;
using namespace res::hot_water_tank;

namespace {

constexpr Bound kRunningTimeEdit = Edit(fields::kHotWaterRunningTime, kRunningTime);

}  // namespace

HotWaterTankPage::HotWaterTankPage() : CNodePage(232, 267, behaviour::RefreshRead()) {
    const Bound config[] = {
        kRunningTimeEdit,
        ModeRadios(fields::kHotWaterPumpMode, kPumpOff, kPumpManual, kPumpAutomatic),
        ModeRadios(fields::kHeatingElementMode, kElementOff, kElementManual, kElementAutomatic),
    };
    const Bound live[] = {
        Edit(fields::kHotWaterPumpOutput, kPumpOutput),
        Edit(fields::kHeatingElementOutput, kElementOutput),
    };
    DeclareFields(config, live);
    MakeRadioGroup({kPumpOff, kPumpManual, kPumpAutomatic});
    MakeRadioGroup({kElementOff, kElementManual, kElementAutomatic});
}

// The running time is written as typed, without reading it first; the mode words go back by
// read-modify-write of NV 25. Write does not read the node again.
void HotWaterTankPage::WriteConfig() {
    NvBuffer time{};
    StoreField(kRunningTimeEdit, time);
    WriteNv(fields::kHotWaterRunningTime.place.nv, time, node::Size(fields::kHotWaterRunningTime));
    WritePlace(fields::kHotWaterPumpMode.place);
}

}  // namespace vireo
