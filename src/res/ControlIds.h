#pragma once
// Control ids shared by many dialogs. Each dialog's own ids live with its template, in a
// namespace of that dialog (res::pump, res::antifrost, ...), so that an id means one control.

namespace res::common {

// Every function page's protocol buttons.
inline constexpr int kRead = 211;
inline constexpr int kWrite = 210;
// The live trend under every page with live values: its check box and its chart.
inline constexpr int kTrend = 901;
inline constexpr int kTrendChart = 902;

}  // namespace res::common

namespace res::calendar {

// The calendar pages' "Default" and "Reset" buttons (other dialogs use these ids otherwise).
inline constexpr int kDefault = 259;
inline constexpr int kReset = 260;

}  // namespace res::calendar
