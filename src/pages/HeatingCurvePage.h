#pragma once
// Settings Temperatures of circuit 1: how the forward set point is produced. Ticked
// "Calc.setpt" (part 1, byte 2, 0x10) makes the node follow the heating curve of NV 37 (2 to 5
// points of outdoor and forward temperature, lowered at night by an offset); cleared, it uses
// the constant day temperature and, while night lowering is on, the constant night temperature.
// The page enables exactly the controls of the chosen way, asking the node again each time.
// Live values: calculated set point (NV 20), forward temperature (NV 11), outdoor temperature
// (NV 13). The part selection never pauses on this page.

#include "page/NodePage.h"

namespace vireo {

class HeatingCurvePage : public CNodePage {
public:
    HeatingCurvePage();

    // The chart's series: the curve through the enabled points, and the operating point of the
    // live outdoor temperature and calculated set point.
    static constexpr const char* kCurveSeries = "Heating curve";
    static constexpr const char* kNowSeries = "Now";

    BOOL OnInitDialog() override;

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    void ShowExtras() override { ApplyEnablingRule(); }
    bool ReadsAfterWrite() const override { return true; }

private:
    // Enables the controls of the chosen way; reads the number of curve points (ticked) or the
    // night-lowering flag (cleared) from the node for it.
    void ApplyEnablingRule();
    void EnableControlsOfChosenWay();
    // Draws the curve through the points whose edits are enabled, as typed, and the live
    // operating point; neither asks the node.
    void DrawCurve();
    void DrawOperatingPoint();
    // The number of curve points to store: the typed number truncated toward zero, limited to
    // 2 to 5 with a message when it lies outside.
    int CurvePointsToStore() const;
};

}  // namespace vireo
