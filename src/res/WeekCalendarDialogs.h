#pragma once
// The week calendar dialogs (204 for page set 1, 205 for page set 2, identical): two calendars
// with a start and a stop edit per weekday, the holiday start and stop beside calendar 1, the
// node's clock and the calendar state, and the control ids that the dialogs and their pages
// share.

#include <array>

#include "platform/DialogTemplate.h"

namespace res::week_calendar {

// Monday to Sunday (index 0 to 6): the start and stop edits of each calendar.
inline constexpr std::array<int, 7> kCalendar1Start = {208, 220, 224, 228, 232, 236, 240};
inline constexpr std::array<int, 7> kCalendar1Stop = {209, 221, 225, 229, 233, 237, 241};
inline constexpr std::array<int, 7> kCalendar2Start = {218, 222, 226, 230, 234, 238, 242};
inline constexpr std::array<int, 7> kCalendar2Stop = {219, 223, 227, 231, 235, 239, 243};
inline constexpr int kHolidayStart = 244;
inline constexpr int kHolidayStop = 245;

// Live values.
inline constexpr int kCalendarState = 326;  // "Calender is"
inline constexpr int kNodeDate = 333;
inline constexpr int kNodeTime = 334;
inline constexpr int kNodeWeekday = 906;  // beside the node's date

// The week at a glance: both calendars and the holiday drawn as they are typed, and the
// buttons that copy Monday's times into other days' edits (nothing is written).
inline constexpr int kWeekPicture = 903;
inline constexpr int kCopyMondayToWorkdays = 904;
inline constexpr int kCopyToWeekend = 905;

platform::DialogTemplate Dialog(int dialogId);

}  // namespace res::week_calendar
