#pragma once
// Settings Temperatures of circuit 1: how the forward set point is produced. Ticked
// "Calc.setpt" (part 1, byte 2, 0x10) makes the node follow the heating curve of NV 37 (2 to 5
// points of outdoor and forward temperature, lowered at night by an offset); cleared, it uses
// the constant day temperature and, while night lowering is on, the constant night temperature.
// The page enables exactly the controls of the chosen way, asking the node again each time.
// Live values: calculated set point (NV 20), forward temperature (NV 11), outdoor temperature
// (NV 13). The part selection never pauses on this page.

#include <vector>

#include "page/NodePage.h"

namespace vireo {

class HeatingCurvePage : public CNodePage {
public:
    HeatingCurvePage();

    // The chart's series: the curve through the enabled points as typed; the node's curve
    // (its last read or written points) while a typed point differs from it, held flat beyond
    // its end points as the node holds it; the night curve (the node's curve lowered by its
    // night offset); and the operating point of the live outdoor temperature and calculated
    // set point, labelled with the curve it lies on.
    static constexpr const char* kCurveSeries = "Heating curve";
    static constexpr const char* kNodeCurveSeries = "Node's heating curve";
    static constexpr const char* kFlatSeries = "Heating curve, held flat";
    static constexpr const char* kNightSeries = "Night curve";
    static constexpr const char* kNowSeries = "Now";

    BOOL OnInitDialog() override;

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    void ShowExtras() override { ApplyEnablingRule(); }
    bool ReadsAfterWrite() const override { return true; }
    // A read or write records the node's points: the node's curve follows them.
    void OnEditMarksChanged() override;

private:
    // Enables the controls of the chosen way: the enabling rules of "Calculated set point",
    // then what the node says: the number of curve points (ticked) or the night-lowering flag
    // (cleared). It reads the node, so it stays code; it runs on click, after the flags of a
    // Read (whether or not they could be read) and once more on show.
    void ApplyEnablingRule();
    void EnableControlsOfChosenWay();
    // Draws the curves through the points whose edits are enabled and the live operating
    // point, on axes around them; asks the node nothing, and draws again only what changed.
    void DrawCurve();
    // An edit's number as the node last gave it, or as typed when the node gave none.
    double NodeNumber(int editId) const;
    // The number of curve points to store: the typed number truncated toward zero, limited to
    // 2 to 5 with a message when it lies outside.
    int CurvePointsToStore() const;

    // What the chart was last drawn from: typed points, the node's points, the night offset
    // and the operating point (a gap when there is none).
    std::vector<platform::ChartPoint> drawnFrom_;
};

}  // namespace vireo
