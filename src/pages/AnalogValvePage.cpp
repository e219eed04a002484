#include "pages/AnalogValvePage.h"

#include "node/NodeFields.h"

namespace vireo {

namespace fields = node::fields;
using res::analog_valve::kCascade;
using res::analog_valve::kCascadeOutput;

AnalogValvePage::Valve AnalogValvePage::Bind(const AnalogValve& valve) {
    const auto& ids = valve.ids;
    return {ids, ModeRadios(fields::kValveMode[valve.valve], ids.off, ids.manual, ids.automatic),
            Edit(fields::kValveManualOutput[valve.valve], ids.in),
            FlagRadios(fields::kValveTwoToTenVolt[valve.valve], ids.volts0to10, ids.volts2to10),
            Check(fields::kValveInvert[valve.valve], ids.invert)};
}

AnalogValvePage::AnalogValvePage(const AnalogValveTwin& twin)
    : CNodePage(twin.dialogId, twin.dialogId,
                behaviour::LeavingFocus(behaviour::RefreshReadExtras())),
      valves_{Bind(twin.first), Bind(twin.second)},
      cascade_(Check(fields::kCascadeOn[twin.circuit], kCascade)),
      cascadeOutput_(Edit(fields::kCascadeOutput[twin.circuit], kCascadeOutput)) {
    // Declared in the order of the Write's steps, each a read-modify-write of its own: the
    // manual outputs (NV 26, whether or not their edits are enabled), the modes (NV 25), the
    // flags of part 1 and the changeover output of part 6.
    const auto& [a, b] = valves_;
    const Bound config[] = {a.manualOutput, b.manualOutput, a.mode,   b.mode,
                            cascade_,       a.twoToTenVolt, a.invert, b.twoToTenVolt,
                            b.invert,       cascadeOutput_};
    const Bound live[] = {Edit(fields::kValveOutput[twin.first.valve], a.ids.out),
                          Edit(fields::kValveOutput[twin.second.valve], b.ids.out)};
    DeclareFields(config, live);
    for (const Valve& valve : valves_) {
        const auto& ids = valve.ids;
        OnClicked(ids.off, [this, &valve] { ShowValveMode(valve, nv::kModeOff); });
        OnClicked(ids.manual, [this, &valve] { ShowValveMode(valve, nv::kModeManual); });
        OnClicked(ids.automatic, [this, &valve] { ShowValveMode(valve, nv::kModeAutomatic); });
        MakeRadioGroup({ids.volts0to10, ids.volts2to10});
    }
    OnClicked(kCascade, [this] { ApplyCascadeRule(); });
}

void AnalogValvePage::ReadConfig() {
    NvBuffer part1{};
    if (ReadFirstPart(nv::kValveFlagsPart, part1, nv::kBufferSize)) {
        ShowField(cascade_, part1);
        ApplyCascadeRule();
        for (const Valve& valve : valves_) {
            ShowField(valve.twoToTenVolt, part1);
            ShowField(valve.invert, part1);
        }
    }
    // Each valve's mode word and manual output come from a read of their own.
    for (const Valve& valve : valves_) {
        NvBuffer modes{};
        if (ReadNv(nv::kModeWords, modes)) {
            ShowValveMode(valve, static_cast<int>(node::Value(valve.mode.field, modes.data())));
        }
    }
    for (const Valve& valve : valves_) {
        NvBuffer outputs{};
        if (ReadNv(nv::kManualOutputs, outputs)) {
            ShowField(valve.manualOutput, outputs);
        }
    }
    NvBuffer part6{};
    if (ReadNextPart(nv::kCascadeOutputPart, part6, nv::kBufferSize)) {
        ShowField(cascadeOutput_, part6);
    }
}

// Showing the page ends with the modes the node holds: the read routine has just applied the
// cascade rule and then the mode words of NV 25, so the extra step on show only repeats the
// rule's enabling and leaves the second valve's mode as read. A Write right after showing the
// page therefore stores the node's own modes back.
void AnalogValvePage::ShowExtras() {
    EnableCascadeControls();
}

void AnalogValvePage::ShowValveMode(const Valve& valve, int word) {
    ShowMode({valve.ids.off, valve.ids.manual, valve.ids.automatic}, word);
    EnableDlgItem(valve.ids.in, word == nv::kModeManual);
}

void AnalogValvePage::EnableCascadeControls() {
    const bool on = IsChecked(kCascade);
    const auto& ids = valves_[1].ids;
    for (int id : {ids.off, ids.manual, ids.automatic, ids.volts0to10, ids.volts2to10, ids.invert,
                   ids.out, kCascadeOutput}) {
        EnableDlgItem(id, on);
    }
}

void AnalogValvePage::ApplyCascadeRule() {
    EnableCascadeControls();
    ShowValveMode(valves_[1], nv::kModeAutomatic);
}

}  // namespace vireo
