#include "pages/NightLoweringPage.h"

#include "node/NodeFields.h"
#include "res/NightLoweringDialogs.h"

namespace vireo {

namespace fields = node::fields;
namespace ids = res::night_lowering;

namespace {

const Bound kNightLowering = Check(fields::kNightLowering1, ids::kNightLowering);
const Bound kRoomStartStop = Check(fields::kRoomStartStop, ids::kRoomStartStop);
const Bound kSummerStop = Check(fields::kSummerStopOn, ids::kSummerStop);

PageBehaviour NightLoweringBehaviour() {
    PageBehaviour b = behaviour::RefreshReadExtras();
    b.partPauseMs = 200;
    return b;
}

}  // namespace

// Parts 1, 3 and 4 in this order on Read and on Write; only the first is selected after
// asking NV 44 which part it holds.
NightLoweringPage::NightLoweringPage() : CNodePage(221, 257, NightLoweringBehaviour()) {
    const Bound config[] = {
        kNightLowering,
        kRoomStartStop,
        kSummerStop,
        Edit(fields::kSummerStopTemperature, ids::kSummerStopTemperature),
        Edit(fields::kPumpStopDelay, ids::kPumpStopDelay),
        Edit(fields::kRoomSetPoint, ids::kRoomSetPoint),
    };
    const Bound live[] = {Edit(fields::kRoomTemperature, ids::kRoomTemperature)};
    DeclareFields(config, live);
    OnClicked(ids::kNightLowering, [this] { ApplyNightRule(); });
    // The room set point and temperature belong to "Start/stop after room temp", the summer
    // stop temperature and the pump stop time to "Summer stop".
    EnableWhile(ids::kRoomStartStop, {ids::kRoomSetPoint, ids::kRoomTemperature});
    EnableWhile(ids::kSummerStop, {ids::kSummerStopTemperature, ids::kPumpStopDelay});
}

// Each flag is shown and its rule run before the next flag is shown: night lowering off with
// room start/stop on leaves "Start/stop after room temp" ticked but disabled after a Read.
void NightLoweringPage::ReadConfig() {
    NvBuffer part1{};
    if (ReadFirstPart(1, part1, nv::kBufferSize)) {
        ShowField(kNightLowering, part1);
        ApplyNightRule();
        ShowField(kRoomStartStop, part1);
        ShowField(kSummerStop, part1);
    }
    for (const int part : {3, 4}) {
        NvBuffer bytes{};
        if (ReadNextPart(part, bytes, nv::kBufferSize)) {
            ShowFields(node::Part(part), bytes);
        }
    }
}

// The night and summer rules run once more on show, whether or not the Read could show the
// flags.
void NightLoweringPage::ShowExtras() {
    ApplyNightRule();
    ApplyRulesOf(ids::kSummerStop);
}

void NightLoweringPage::ApplyNightRule() {
    const bool on = IsChecked(ids::kNightLowering);
    if (!on) {
        ShowCheck(ids::kRoomStartStop, false);
    }
    EnableDlgItem(ids::kRoomStartStop, on);
    ApplyRulesOf(ids::kRoomStartStop);
}

}  // namespace vireo
