#include "node/NodeClock.h"

#include <cstdio>

#include "codecs/NumericCodec.h"

namespace node {

std::array<std::uint8_t, 7> NodeClockRecord::Bytes() const {
    const codecs::NumericCodec codec;
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    return {byte(codec.IntHighByte(year)),
            byte(codec.IntLowByte(year)),
            byte(month),
            byte(day),
            byte(hour),
            byte(minute),
            byte(second)};
}

NodeClockRecord NodeClockRecord::FromBytes(const std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    return {codec.MakeWord(bytes[0], bytes[1]), codec.SignedByte(bytes[2]),
            codec.SignedByte(bytes[3]),         codec.SignedByte(bytes[4]),
            codec.SignedByte(bytes[5]),         codec.SignedByte(bytes[6])};
}

NodeClockRecord NodeClockRecord::FromPc(const platform::LocalDateTime& now) {
    return {now.year % 100 + 2000, now.month, now.day, now.hour, now.minute, now.second};
}

std::string ClockDateText(const NodeClockRecord& clock) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f/%.0f-%.0f", static_cast<double>(clock.day),
                  static_cast<double>(clock.month), static_cast<double>(clock.year));
    return text;
}

std::string ClockTimeText(const NodeClockRecord& clock) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f:%s%.0f:%s%.0f", static_cast<double>(clock.hour),
                  clock.minute < 10 ? "0" : "", static_cast<double>(clock.minute),
                  clock.second < 10 ? "0" : "", static_cast<double>(clock.second));
    return text;
}

codecs::ExportClock RuntimeClock(const platform::LocalDateTime& now) {
    return {now.year, now.month, now.day, now.hour, now.minute, now.second};
}

}  // namespace node
