#pragma once
// The Analog Valve pages: two analog valve outputs of one circuit, each with its live output,
// its mode (Off, Manual, Automatic), its manual output, its signal range (0-10 or 2-10 volt)
// and its inversion, and the cascade option that lets the second valve follow the first.
// The settings live in NV 25 (mode words), NV 26 (manual outputs), part 1 of nviPluginCnf
// (cascade, voltage and invert flags) and part 6 (cascade changeover output). The twin pages
// differ only in the AnalogValveTwin they pass.

#include "node/NodePage.h"
#include "res/AnalogValveDialogs.h"

namespace vireo {

// What belongs to one valve of a page.
struct AnalogValve {
    res::analog_valve::AnalogValveControlIds ids;
    int modeByte;    // high byte of its mode word in NV 25
    int manualByte;  // its manual output byte in NV 26
    int liveNv;      // the variable holding its live output
    int flagBit;     // bit index of its voltage and invert flags in the mirrored flag bytes
};

// What differs between the circuit-1 page (Mv1, Mv3) and the circuit-2 page (Mv2, Mv4).
struct AnalogValveTwin {
    int dialogId;           // dialog and caption string
    AnalogValve first;      // opens fully first in cascade
    AnalogValve second;     // follows the first; usable only while cascade is on
    int cascadeBit;         // bit index of the cascade flag in the mirrored flag byte
    int cascadeOutputByte;  // changeover output byte in part 6
};

class AnalogValvePage : public CNodePage {
public:
    explicit AnalogValvePage(const AnalogValveTwin& twin);

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    void ShowExtras() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    // Selects a mode radio of the valve and clears the other two; only Manual enables "In".
    void ShowValveMode(const AnalogValve& valve, int word);
    int ValveModeWord(const AnalogValve& valve) const;
    // Enables the second valve's controls and the cascade output while "Cascade" is ticked.
    void EnableCascadeControls();
    // The cascade rule: the enabling above, then the second valve goes to Automatic.
    void ApplyCascadeRule();

    void ShowFlags(const NvBuffer& part1);
    void StoreFlags(NvBuffer& part1) const;

    AnalogValveTwin twin_;
};

}  // namespace vireo
