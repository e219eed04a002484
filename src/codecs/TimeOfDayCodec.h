#pragma once
// Calendar switching times: one byte of quarter hours since midnight (0 is 0:00, 96 is 24:00),
// shown as "H:MM" or "HH:MM".

#include <cstdint>
#include <string>
#include <string_view>

namespace codecs {

using TimeByte = std::uint8_t;

class TimeOfDayCodec {
public:
    virtual ~TimeOfDayCodec() = default;

    std::string FormatTime(TimeByte value) const;
    // Only for text that IsValidTime accepted; checks nothing itself.
    TimeByte ParseTime(std::string_view text) const;
    bool IsValidTime(std::string_view text) const;
    bool CheckTimeFields(std::string_view hours, std::string_view minutes) const;
};

}  // namespace codecs
