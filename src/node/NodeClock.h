#pragma once
// The node's clock: its record of 7 bytes (year word, month, day, hour, minute, second) to and
// from the date and time it holds, the texts the Set Time and week calendar pages show for it,
// and the time that "Sync" sets from the PC's local date and time.

#include <array>
#include <cstdint>
#include <string>

#include "framework/DateTime.h"

namespace node {

// The node clock's record, as NV 0 takes it and NV 3 gives it.
struct NodeClockRecord {
    // Year high byte, year low byte, month, day, hour, minute, second.
    static std::array<std::uint8_t, 7> Bytes(const platform::DateTime& clock);
    // From the bytes of NV 3: the year as an unsigned word, every other byte signed.
    static platform::DateTime FromBytes(const std::uint8_t* bytes);
    // The PC's local date and time as the runtime's texts give them: a two-digit year + 2000.
    static platform::DateTime FromPc(const platform::DateTime& now);
};

// "6/12-2026": day, month, year.
std::string ClockDateText(const platform::DateTime& clock);
// "Sunday": the weekday of the clock's date; empty for a date no calendar holds.
std::string ClockWeekdayText(const platform::DateTime& clock);
// "9:05:07": the minute and the second with a leading zero below 10.
std::string ClockTimeText(const platform::DateTime& clock);

}  // namespace node
