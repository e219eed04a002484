#pragma once
// A calendar date and a time of day, as clocks give them: the node's clock record and the PC's
// local date and time are both one. Plain values; no time zone.

#include <string>

namespace platform {

struct DateTime {
    int year = 2000;  // four digits
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // "09:05:07".
    std::string TimeText() const;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

}  // namespace platform
