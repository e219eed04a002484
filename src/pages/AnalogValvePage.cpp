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
        MakeRadioGroup({ids.off, ids.manual, ids.automatic});
        // Only Manual enables the valve's manual output.
        EnableWhile(ids.manual, {ids.in});
        MakeRadioGroup({ids.volts0to10, ids.volts2to10});
    }
    // The second valve's controls and the cascade output while "Cascade" is ticked.
    const auto& second = valves_[1].ids;
    EnableWhile(kCascade, {second.off, second.manual, second.automatic, second.volts0to10,
                           second.volts2to10, second.invert, second.out, kCascadeOutput});
    OnClicked(kCascade, [this] { SecondValveToAutomatic(); });
}

void AnalogValvePage::ReadConfig() {
    NvBuffer part1{};
    if (ReadFirstPart(nv::kValveFlagsPart, part1, nv::kBufferSize)) {
        ShowField(cascade_, part1);
        SecondValveToAutomatic();
        for (const Valve& valve : valves_) {
            ShowField(valve.twoToTenVolt, part1);
            ShowField(valve.invert, part1);
        }
    }
    // Each valve's mode word and manual output come from a read of their own.
    for (const Valve& valve : valves_) {
        NvBuffer modes{};
        if (ReadNv(nv::kModeWords, modes)) {
            ShowField(valve.mode, modes);
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
    ApplyRulesOf(kCascade);
}

void AnalogValvePage::SecondValveToAutomatic() {
    const auto& ids = valves_[1].ids;
    ShowMode({ids.off, ids.manual, ids.automatic}, nv::kModeAutomatic);
}

}  // namespace vireo
