#pragma once
// The chart control behind ControlKind::Chart: a chart view with one value axis on each side,
// to which the control host attaches the series it is given.

class QWidget;

namespace platform {

QWidget* MakeChartView(QWidget* parent);

}  // namespace platform
