#include "codecs/TimeOfDayCodec.h"

#include <cstddef>

#include "codecs/NumberReader.h"
#include "codecs/NumericCodec.h"

namespace codecs {

std::string TimeOfDayCodec::FormatTime(TimeByte value) const {
    // Bytes above 96 are no time of day; they show what the same rule gives (255 is 63:45).
    const int hours = value / 4;
    const int minutes = (value % 4) * 15;
    std::string text = std::to_string(hours);
    text += ':';
    if (minutes < 10) {
        text += '0';
    }
    text += std::to_string(minutes);
    return text;
}

TimeByte TimeOfDayCodec::ParseTime(std::string_view text) const {
    const std::size_t colon = text.find(':');
    const std::string_view hoursText = text.substr(0, colon);
    const std::string_view minutesText =
        colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
    const double hours = ReadNumber(hoursText);
    const double minutes = ReadNumber(minutesText);
    // Dividing by 15 (rather than multiplying by a rounded fifteenth) keeps whole quarter
    // hours exact, so 7:15 gives 29.
    const double quarters = hours * 4.0 + minutes / 15.0;
    return static_cast<TimeByte>(TruncateToInt(quarters) & 0xFF);
}

bool TimeOfDayCodec::IsValidTime(std::string_view text) const {
    const std::size_t length = text.size();
    if (length != 4 && length != 5) {
        return false;
    }
    if (text.find(' ') != std::string_view::npos) {
        return false;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::size_t hoursLength = length - 3;  // 1 for H:MM, 2 for HH:MM
    if (colon != hoursLength) {
        return false;
    }
    return CheckTimeFields(text.substr(0, hoursLength), text.substr(length - 2));
}

bool TimeOfDayCodec::CheckTimeFields(std::string_view hours, std::string_view minutes) const {
    bool valid = true;
    // Hour 24 stands only for the end of the day.
    if (hours == "24" && minutes != "00") {
        valid = false;
    }
    const int h = TruncateToInt(ReadNumber(hours));
    const int m = TruncateToInt(ReadNumber(minutes));
    if (h > 24) {
        valid = false;
    } else if (m > 59) {
        valid = false;
    }
    if (h < 0 || m < 0) {
        valid = false;
    }
    return valid;
}

}  // namespace codecs
