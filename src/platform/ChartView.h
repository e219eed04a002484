#pragma once
// The chart control behind ControlKind::Chart: a chart view with a value axis on the left (and,
// once a series asks for it, on the right), to which the control host attaches the series it
// is given. Its context menu saves the chart as CSV or PNG.

#include <string>

#include "platform/ControlHost.h"

class QWidget;
class QChartView;

namespace platform {

QWidget* MakeChartView(QWidget* parent);

// The chart's legend series as CSV (see ControlHost::GetChartCsv).
std::string ChartCsv(const QChartView& view);
// Asks the desktop for a file and writes the chart into it, replacing the file safely.
void SaveChart(QChartView& view, ChartFile kind);

}  // namespace platform
