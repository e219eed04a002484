#include "codecs/HourMinuteText.h"

#include <cstdio>

#include "codecs/NumberReader.h"
#include "codecs/NumericCodec.h"

namespace codecs {

std::string FormatHourMinute(int hours, int minutes) {
    char text[64];
    std::snprintf(text, sizeof text, minutes < 10 ? "%.0f:0%.0f" : "%.0f:%.0f",
                  static_cast<double>(hours), static_cast<double>(minutes));
    return text;
}

HourMinute ParseHourMinute(std::string_view text) {
    const auto number = [](std::string_view part) { return TruncateToInt(ReadNumber(part)); };
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return {0, number(text)};
    }
    return {number(text.substr(0, colon)), number(text.substr(colon + 1))};
}

}  // namespace codecs
