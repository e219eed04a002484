#include "node/NodeClock.h"

#include <chrono>
#include <cstdio>

#include "codecs/NumericCodec.h"

namespace node {

std::array<std::uint8_t, 7> NodeClockRecord::Bytes(const platform::DateTime& clock) {
    const codecs::NumericCodec codec;
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    return {byte(codec.IntHighByte(clock.year)),
            byte(codec.IntLowByte(clock.year)),
            byte(clock.month),
            byte(clock.day),
            byte(clock.hour),
            byte(clock.minute),
            byte(clock.second)};
}

platform::DateTime NodeClockRecord::FromBytes(const std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    return {codec.MakeWord(bytes[0], bytes[1]), codec.SignedByte(bytes[2]),
            codec.SignedByte(bytes[3]),         codec.SignedByte(bytes[4]),
            codec.SignedByte(bytes[5]),         codec.SignedByte(bytes[6])};
}

platform::DateTime NodeClockRecord::FromPc(const platform::DateTime& now) {
    return {now.year % 100 + 2000, now.month, now.day, now.hour, now.minute, now.second};
}

std::string ClockDateText(const platform::DateTime& clock) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f/%.0f-%.0f", static_cast<double>(clock.day),
                  static_cast<double>(clock.month), static_cast<double>(clock.year));
    return text;
}

std::string ClockWeekdayText(const platform::DateTime& clock) {
    using namespace std::chrono;
    const year_month_day date{year{clock.year}, month{static_cast<unsigned>(clock.month)},
                              day{static_cast<unsigned>(clock.day)}};
    if (!date.ok()) {
        return {};
    }
    static const char* const kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
    return kNames[weekday{sys_days{date}}.c_encoding()];
}

std::string ClockTimeText(const platform::DateTime& clock) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f:%s%.0f:%s%.0f", static_cast<double>(clock.hour),
                  clock.minute < 10 ? "0" : "", static_cast<double>(clock.minute),
                  clock.second < 10 ? "0" : "", static_cast<double>(clock.second));
    return text;
}

}  // namespace node
