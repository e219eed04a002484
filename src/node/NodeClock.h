#pragma once
// The node's clock as its 7 bytes (NodeClockRecord: year word, month, day, hour, minute,
// second) and the texts the Set Time and week calendar pages show for it, and the record
// that "Sync" builds from the PC's local date and time.

#include <array>
#include <cstdint>
#include <string>

#include "codecs/SettingsFileCodec.h"
#include "framework/Desktop.h"

namespace node {

struct NodeClockRecord {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Year high byte, year low byte, month, day, hour, minute, second.
    std::array<std::uint8_t, 7> Bytes() const;
    // From the bytes of NV 3: the year as an unsigned word, every other byte signed.
    static NodeClockRecord FromBytes(const std::uint8_t* bytes);
    // The PC's local date and time as the runtime's texts give them: a two-digit year + 2000.
    static NodeClockRecord FromPc(const platform::LocalDateTime& now);
};

// "6/12-2026": day, month, year.
std::string ClockDateText(const NodeClockRecord& clock);
// "9:05:07": the minute and the second with a leading zero below 10.
std::string ClockTimeText(const NodeClockRecord& clock);

// The PC's local date and time as the runtime's date and time texts hold them, for the texts
// the Set Time page shows and the settings file's export date and time.
codecs::ExportClock RuntimeClock(const platform::LocalDateTime& now);

}  // namespace node
