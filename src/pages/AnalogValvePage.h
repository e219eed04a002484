#pragma once
// The Analog Valve pages: two analog valve outputs of one circuit, each with its live output,
// its mode (Off, Manual, Automatic), its manual output, its signal range (0-10 or 2-10 volt)
// and its inversion, and the cascade option that lets the second valve follow the first.
// The settings live in NV 25 (mode words), NV 26 (manual outputs), part 1 of nviPluginCnf
// (cascade, voltage and invert flags) and part 6 (cascade changeover output). The twin pages
// differ only in the AnalogValveTwin they pass.

#include "page/NodePage.h"
#include "res/AnalogValveDialogs.h"

namespace vireo {

// One valve of a page: its controls and its number (0 Mv1, 1 Mv2, 2 Mv3, 3 Mv4).
struct AnalogValve {
    res::analog_valve::AnalogValveControlIds ids;
    int valve;
};

// What differs between the circuit-1 page (Mv1, Mv3) and the circuit-2 page (Mv2, Mv4).
struct AnalogValveTwin {
    int dialogId;        // dialog and caption string
    AnalogValve first;   // opens fully first in cascade
    AnalogValve second;  // follows the first; usable only while cascade is on
    int circuit;         // 0 or 1: the cascade flag and changeover output of the circuit
};

class AnalogValvePage : public CNodePage {
public:
    explicit AnalogValvePage(const AnalogValveTwin& twin);

protected:
    void ReadConfig() override;
    void ShowExtras() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    // A valve's fields bound to its controls.
    struct Valve {
        res::analog_valve::AnalogValveControlIds ids;
        Bound mode;
        Bound manualOutput;
        Bound twoToTenVolt;
        Bound invert;
    };
    static Valve Bind(const AnalogValve& valve);

    // The cascade rule sets the second valve to Automatic besides its enabling rule: code.
    void SecondValveToAutomatic();

    Valve valves_[2];
    Bound cascade_;
    Bound cascadeOutput_;
};

}  // namespace vireo
