#include "pages/HeatingCurvePage.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "node/NodeFields.h"
#include "res/SettingsTemperaturesDialogs.h"

namespace vireo {

namespace fields = node::fields;
namespace ids = res::settings_temperatures;

namespace {

constexpr int kMaxCurvePoints = fields::kCurvePointCount;
constexpr node::Place kRecord = fields::kTempRecord[0];
constexpr node::Place kFlags = node::Part(1);

// The edits of curve point k (0 to 4).
int OutdoorEdit(int k) {
    return ids::kCurveOutdoor[static_cast<std::size_t>(k)];
}
int ForwardEdit(int k) {
    return ids::kCurveForward[static_cast<std::size_t>(k)];
}

PageBehaviour Circuit1Behaviour() {
    PageBehaviour b = behaviour::RefreshReadExtras();
    b.partPauseMs = 0;
    return b;
}

}  // namespace

HeatingCurvePage::HeatingCurvePage() : CNodePage(220, 255, Circuit1Behaviour()) {
    std::vector<Bound> config = {Check(fields::kCalculatedSetPointOn, ids::kCalculatedSetPointOn),
                                 Edit(fields::kCurvePoints, ids::kCurvePoints)};
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        config.push_back(Edit(fields::CurveOutdoor(k), OutdoorEdit(k)));
    }
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        config.push_back(Edit(fields::CurveForward(k), ForwardEdit(k)));
    }
    config.push_back(Edit(fields::kNightOffset, ids::kNightOffset));
    config.push_back(Edit(fields::kConstantDay[0], ids::kConstantDay));
    config.push_back(Edit(fields::kConstantNight[0], ids::kConstantNight));
    const Bound live[] = {
        Edit(fields::kCalculatedSetPoint, ids::kCalculatedSetPoint),
        Edit(fields::kForwardTemperature[0], ids::kActualForward),
        Edit(fields::kOutdoorTemperature, ids::kOutdoorTemperature),
    };
    DeclareFields(config, live);
    OnClicked(ids::kCalculatedSetPointOn, [this] { ApplyEnablingRule(); });
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        OnEditChanged(OutdoorEdit(k), [this] { DrawCurve(); });
        OnEditChanged(ForwardEdit(k), [this] { DrawCurve(); });
    }
}

BOOL HeatingCurvePage::OnInitDialog() {
    SetChartAxisTitles(ids::kCurveChart, "Outdoor °C", "Forward °C");
    DrawCurve();
    return CNodePage::OnInitDialog();
}

void HeatingCurvePage::Refresh() {
    CNodePage::Refresh();
    DrawOperatingPoint();
}

void HeatingCurvePage::DrawCurve() {
    std::vector<platform::ChartPoint> points;
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        if (IsDlgItemEnabled(OutdoorEdit(k)) && IsDlgItemEnabled(ForwardEdit(k))) {
            points.push_back({TypedNumber(OutdoorEdit(k)), TypedNumber(ForwardEdit(k))});
        }
    }
    SetChartSeries(ids::kCurveChart, kCurveSeries, points);
}

void HeatingCurvePage::DrawOperatingPoint() {
    std::optional<platform::ChartPoint> now;
    if (!GetDlgItemText(ids::kOutdoorTemperature).empty() &&
        !GetDlgItemText(ids::kCalculatedSetPoint).empty()) {
        now = platform::ChartPoint{TypedNumber(ids::kOutdoorTemperature),
                                   TypedNumber(ids::kCalculatedSetPoint)};
    }
    SetChartMarker(ids::kCurveChart, kNowSeries, now);
}

void HeatingCurvePage::ReadConfig() {
    NvBuffer flags{};
    if (ReadFirstPart(kFlags.part, flags, nv::kBufferSize)) {
        ShowFields(kFlags, flags);
    }
    ApplyEnablingRule();
    NvBuffer record{};
    if (ReadNv(kRecord.nv, record, nv::kBufferSize)) {
        ShowFields(kRecord, record);
    }
}

void HeatingCurvePage::ApplyEnablingRule() {
    EnableControlsOfChosenWay();
    DrawCurve();
}

void HeatingCurvePage::EnableControlsOfChosenWay() {
    const bool calculated = IsChecked(ids::kCalculatedSetPointOn);
    for (int id : {ids::kCurvePoints, ids::kNightOffset, ids::kOutdoorTemperature}) {
        EnableDlgItem(id, calculated);
    }
    EnableDlgItem(ids::kConstantDay, !calculated);
    if (calculated) {
        EnableDlgItem(ids::kConstantNight, false);
        NvBuffer record{};
        if (!ReadNv(kRecord.nv, record, nv::kBufferSize)) {
            return;
        }
        SetDlgItemText(ids::kCurvePoints, node::Text(fields::kCurvePoints, record.data()));
        // Any other count leaves the curve edits as they are.
        const int points = static_cast<int>(node::Value(fields::kCurvePoints, record.data()));
        if (!node::Limit(fields::kCurvePoints, points).message.empty()) {
            return;
        }
        for (int k = 0; k < kMaxCurvePoints; ++k) {
            EnableDlgItem(OutdoorEdit(k), k < points);
            EnableDlgItem(ForwardEdit(k), k < points);
        }
    } else {
        for (int k = 0; k < kMaxCurvePoints; ++k) {
            EnableDlgItem(OutdoorEdit(k), false);
            EnableDlgItem(ForwardEdit(k), false);
        }
        // The constant night temperature is used only while night lowering is on.
        NvBuffer flags{};
        if (ReadFirstPart(kFlags.part, flags, nv::kBufferSize)) {
            EnableDlgItem(ids::kConstantNight,
                          node::FlagSet(fields::kNightLowering1, flags.data()));
        }
    }
}

// NV 37 first, then the flag of part 1; the part is selected before either. A step whose read
// fails writes nothing and the other still runs. Every edit is stored, enabled or not; the
// maximum return temperature and its dead band (bytes 23-26) go back as read.
void HeatingCurvePage::WriteConfig() {
    const bool part1Shown = SelectFirst(kFlags.part);
    NvBuffer record{};
    if (ReadNv(kRecord.nv, record, nv::kPartSize)) {
        StoreFields(kRecord, record);
        record[static_cast<std::size_t>(fields::kCurvePoints.offset)] =
            static_cast<std::uint8_t>(CurvePointsToStore());
        WriteNv(kRecord.nv, record, nv::kPartSize);
    }
    NvBuffer flags{};
    if (part1Shown && ReadNv(nv::kPluginCnf, flags, nv::kPartSize)) {
        StoreFields(kFlags, flags);
        WritePart(flags);
    }
}

int HeatingCurvePage::CurvePointsToStore() const {
    // The typed number itself is compared, not its low byte: 258 is above 5, not 2.
    const node::Limited count =
        node::Limit(fields::kCurvePoints, std::trunc(TypedNumber(ids::kCurvePoints)));
    if (!count.message.empty()) {
        ShowMessage(std::string(count.message));
    }
    return static_cast<int>(count.value);
}

}  // namespace vireo
