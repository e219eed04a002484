#pragma once
// The "H:MM" text of an hour and a minute stored apart (extended-operation delays, the valve
// calibration time), and the reading of such a typed text. Unlike the calendars' times of day,
// these texts are not checked: whatever is typed is read by the atof rules and stored.

#include <string>
#include <string_view>

namespace codecs {

struct HourMinute {
    int hours = 0;
    int minutes = 0;
};

// The hours, ":", the minutes, with a "0" in front of minutes below 10: "2:05", "0:90", "6:45".
std::string FormatHourMinute(int hours, int minutes);
// Split at the first ":": the leading number before it is the hours, the one after it the
// minutes, each truncated toward zero. Without ":" the whole text is the minutes.
HourMinute ParseHourMinute(std::string_view text);

}  // namespace codecs
