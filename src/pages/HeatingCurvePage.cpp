#include "pages/HeatingCurvePage.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "codecs/NumberReader.h"
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

using platform::ChartPoint;
using Curve = std::vector<ChartPoint>;

constexpr int kCurveColour = 0x1f77b4;
constexpr int kTypedColour = 0x808080;
// The forward axis shows at least 20 to 90 °C, the outdoor axis -20 to 20 °C, each widened
// to a round step beyond the points drawn.
constexpr double kForwardLow = 20;
constexpr double kForwardHigh = 90;
constexpr double kOutdoorLow = -20;
constexpr double kOutdoorHigh = 20;
// The operating point lies on a curve when its set point is this close to the curve's value.
constexpr double kOnCurve = 2.0;

// The forward temperature of a curve sorted by outdoor temperature: linear between its points,
// held at the end points' beyond them.
double CurveAt(const Curve& sorted, double outdoor) {
    if (outdoor <= sorted.front().x) {
        return sorted.front().y;
    }
    for (std::size_t k = 1; k < sorted.size(); ++k) {
        const ChartPoint& a = sorted[k - 1];
        const ChartPoint& b = sorted[k];
        if (outdoor <= b.x) {
            return b.x == a.x ? b.y : a.y + (b.y - a.y) * (outdoor - a.x) / (b.x - a.x);
        }
    }
    return sorted.back().y;
}

// The curve from low to high outdoor temperature, with its held ends out to the axis' limits.
Curve Extended(Curve sorted, double low, double high, double lowered) {
    if (sorted.empty()) {
        return sorted;
    }
    sorted.insert(sorted.begin(), {low, sorted.front().y});
    sorted.push_back({high, sorted.back().y});
    for (ChartPoint& p : sorted) {
        p.y -= lowered;
    }
    return sorted;
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
    // The calculated way uses the curve and its night offset, the constant way the constant day
    // temperature.
    EnableWhile(ids::kCalculatedSetPointOn,
                {ids::kCurvePoints, ids::kNightOffset, ids::kOutdoorTemperature});
    EnableUnless(ids::kCalculatedSetPointOn, {ids::kConstantDay});
    OnClicked(ids::kCalculatedSetPointOn, [this] { ApplyEnablingRule(); });
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        OnEditChanged(OutdoorEdit(k), [this] { DrawCurve(); });
        OnEditChanged(ForwardEdit(k), [this] { DrawCurve(); });
    }
    OnEditChanged(ids::kNightOffset, [this] { DrawCurve(); });
}

BOOL HeatingCurvePage::OnInitDialog() {
    SetChartAxisTitle(ids::kCurveChart, platform::ChartAxis::X, "Outdoor °C");
    SetChartAxisTitle(ids::kCurveChart, platform::ChartAxis::Left, "Forward °C");
    DrawCurve();
    return CNodePage::OnInitDialog();
}

void HeatingCurvePage::Refresh() {
    CNodePage::Refresh();
    DrawCurve();
}

void HeatingCurvePage::OnEditMarksChanged() {
    CNodePage::OnEditMarksChanged();
    DrawCurve();
}

double HeatingCurvePage::NodeNumber(int editId) const {
    const std::optional<std::string> text = NodeText(editId);
    return text ? codecs::ReadNumber(*text) : TypedNumber(editId);
}

void HeatingCurvePage::DrawCurve() {
    using platform::ChartAxis;
    const int chart = ids::kCurveChart;
    Curve typed;
    Curve held;
    for (int k = 0; k < kMaxCurvePoints; ++k) {
        if (IsDlgItemEnabled(OutdoorEdit(k)) && IsDlgItemEnabled(ForwardEdit(k))) {
            typed.push_back({TypedNumber(OutdoorEdit(k)), TypedNumber(ForwardEdit(k))});
            held.push_back({NodeNumber(OutdoorEdit(k)), NodeNumber(ForwardEdit(k))});
        }
    }
    const double offset = NodeNumber(ids::kNightOffset);
    ChartPoint now = ChartPoint::Gap();
    if (!GetDlgItemText(ids::kOutdoorTemperature).empty() &&
        !GetDlgItemText(ids::kCalculatedSetPoint).empty()) {
        now = {TypedNumber(ids::kOutdoorTemperature), TypedNumber(ids::kCalculatedSetPoint)};
    }
    Curve from = typed;
    from.push_back(ChartPoint::Gap());
    from.insert(from.end(), held.begin(), held.end());
    from.push_back({offset, 0});
    from.push_back(now);
    // Each live refresh and each recorded control comes here: an unchanged chart is left alone.
    const auto same = [](const ChartPoint& a, const ChartPoint& b) {
        return a == b || (a.IsGap() && b.IsGap());
    };
    if (std::equal(from.begin(), from.end(), drawnFrom_.begin(), drawnFrom_.end(), same)) {
        return;
    }
    drawnFrom_ = from;

    Curve sorted = held;
    std::sort(sorted.begin(), sorted.end(),
              [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    // Axes from round limits around every point drawn.
    double left = kOutdoorLow;
    double right = kOutdoorHigh;
    double bottom = kForwardLow;
    double top = kForwardHigh;
    Curve all = typed;
    all.insert(all.end(), held.begin(), held.end());
    for (const ChartPoint& p : held) {
        all.push_back({p.x, p.y - offset});
    }
    if (!now.IsGap()) {
        all.push_back(now);
    }
    for (const ChartPoint& p : all) {
        left = std::min(left, 5 * std::floor((p.x - 2) / 5));
        right = std::max(right, 5 * std::ceil((p.x + 2) / 5));
        bottom = std::min(bottom, 10 * std::floor((p.y - 2) / 10));
        top = std::max(top, 10 * std::ceil((p.y + 2) / 10));
    }
    SetChartRange(chart, ChartAxis::X, left, right);
    SetChartRange(chart, ChartAxis::Left, bottom, top);

    const bool unwritten = typed != held;
    SetChartSeries(chart, kCurveSeries, typed,
                   {.label = unwritten ? "Typed, not written" : kCurveSeries,
                    .line = unwritten ? platform::ChartLine::Dotted : platform::ChartLine::Solid,
                    .dots = true,
                    .colour = unwritten ? kTypedColour : kCurveColour});
    SetChartSeries(
        chart, kNodeCurveSeries, unwritten ? held : Curve(),
        {.label = kCurveSeries, .legend = unwritten, .dots = true, .colour = kCurveColour});
    // The held ends only: the curve between them is drawn above.
    Curve flat;
    if (!sorted.empty()) {
        flat = {{left, sorted.front().y},
                sorted.front(),
                ChartPoint::Gap(),
                sorted.back(),
                {right, sorted.back().y}};
    }
    SetChartSeries(chart, kFlatSeries, flat, {.legend = false, .colour = kCurveColour});
    SetChartSeries(chart, kNightSeries,
                   offset != 0 ? Extended(sorted, left, right, offset) : Curve(),
                   {.legend = offset != 0 && !sorted.empty(),
                    .line = platform::ChartLine::Dashed,
                    .colour = kCurveColour});

    std::string label = kNowSeries;
    if (!now.IsGap() && !sorted.empty()) {
        const double day = CurveAt(sorted, now.x);
        const double off = std::abs(now.y - day);
        const double night = std::abs(now.y - (day - offset));
        if (offset != 0 && night < off && night <= kOnCurve) {
            label = "Now (night)";
        } else if (off <= kOnCurve) {
            label = "Now (day)";
        }
    }
    SetChartMarker(chart, kNowSeries, now.IsGap() ? std::nullopt : std::optional<ChartPoint>(now),
                   label);
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
    ApplyRulesOf(ids::kCalculatedSetPointOn);
    EnableControlsOfChosenWay();
    DrawCurve();
}

void HeatingCurvePage::EnableControlsOfChosenWay() {
    if (IsChecked(ids::kCalculatedSetPointOn)) {
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
