#pragma once
// The Set Time dialog (203): the control ids that the dialog and its page share.

namespace res::set_time {

// "Current time on PC".
inline constexpr int kPcTime = 331;
inline constexpr int kPcDate = 332;
// "Current time in Node".
inline constexpr int kNodeDate = 333;
inline constexpr int kNodeTime = 334;
// The weekday of the node's date.
inline constexpr int kNodeWeekday = 906;
// "Sync": sets the node's clock to the PC's.
inline constexpr int kSync = 335;

}  // namespace res::set_time
