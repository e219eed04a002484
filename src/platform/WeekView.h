#pragma once
// The picture behind ControlKind::WeekPicture: one row per day (and any further rows, such as
// a holiday), the hours 0 to 24 across, and the periods the control host gives it drawn as
// filled bars, one colour per lane; a period marked invalid is drawn in red with its reason in
// the tooltip.

#include <string>
#include <vector>

class QWidget;

namespace platform {

struct WeekBar;

QWidget* MakeWeekView(QWidget* parent);
// Rows (their labels, top to bottom), lanes (the names of the calendars, one colour each) and
// the bars to draw.
void SetWeekView(QWidget* view, const std::vector<std::string>& rows,
                 const std::vector<std::string>& lanes, const std::vector<WeekBar>& bars);
std::vector<WeekBar> WeekViewBars(const QWidget* view);

}  // namespace platform
