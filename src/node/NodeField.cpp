#include "node/NodeField.h"

#include <algorithm>

#include "codecs/HourMinuteText.h"
#include "codecs/NumberReader.h"
#include "codecs/NumericCodec.h"
#include "codecs/TimeOfDayCodec.h"

namespace node {
namespace {

void PutWord(std::uint8_t* bytes, int offset, int high, int low) {
    bytes[offset] = static_cast<std::uint8_t>(high);
    bytes[offset + 1] = static_cast<std::uint8_t>(low);
}

// Whether the display may drop digits of the stored value, so that an untouched text must
// keep its word rather than be stored again.
bool DisplayRounds(Codec codec) {
    switch (codec) {
        case Codec::Tenths:
        case Codec::DecimalTenths:
        case Codec::SignedHundredths:
        case Codec::HalfSteps:
        case Codec::HourMinuteBytes:  // a minute stored below 0 shows as "0-5"
            return true;
        default:
            return false;
    }
}

// The hour and the minute of an "H:MM" field.
codecs::HourMinute HourMinuteOf(const Field& field, const std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    const std::uint8_t* at = bytes + field.offset;
    if (field.codec == Codec::HourMinuteBytes) {
        return {codec.SignedByte(at[0]), codec.SignedByte(at[1])};
    }
    return {codec.MakeWord(at[0], at[1]), codec.MakeWord(at[2], at[3])};
}

void StoreHourMinute(const Field& field, codecs::HourMinute time, std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    const int at = field.offset;
    if (field.codec == Codec::HourMinuteBytes) {
        bytes[at] = static_cast<std::uint8_t>(codec.LowByte(time.hours));
        bytes[at + 1] = static_cast<std::uint8_t>(codec.LowByte(time.minutes));
        return;
    }
    PutWord(bytes, at, codec.HighByte(time.hours), codec.LowByte(time.hours));
    PutWord(bytes, at + 2, codec.IntHighByte(time.minutes), codec.IntLowByte(time.minutes));
}

// The whole numbers a number codec's bytes hold and read back unchanged: a typed number is
// multiplied by scale and truncated toward zero, as StoreNumber does, and must land within
// [min, max]. Each end follows from the codec: 16 unsigned bits for words, words above 10000
// reading back negative for hundredths (so -1 is word 65535 and -55535 word 10001), one
// two's-complement byte, one unsigned byte of half steps, one bit for a flag.
struct Stored {
    int scale;
    int min;
    int max;
    int decimals;  // of the range's ends: as many as the scale holds
};

Stored StoredRange(Codec codec) {
    switch (codec) {
        case Codec::Tenths:
        case Codec::DecimalTenths:
            return {10, 0, 0xFFFF, 1};
        case Codec::SignedHundredths:
            return {100, 10000 - 0xFFFF, 10000, 2};
        case Codec::HalfHundredths:
            return {200, 0, 0xFFFF, 3};
        case Codec::SignedByte:
            return {1, -128, 127, 0};
        case Codec::HalfSteps:
            return {2, 0, 0xFF, 1};
        case Codec::Flag:
            return {1, 0, 1, 0};
        default:  // Word, Mode; times have ranges of their own
            return {1, 0, 0xFFFF, 0};
    }
}

// The hours and minutes an "H:MM" field's bytes hold and show as typed: a quarter-hour byte up
// to the end of the day; signed bytes (a minute below 0 would show as "0-5"); unsigned words.
struct TimeRange {
    int minHours;
    int maxHours;
    int maxMinutes;
};

TimeRange TimeRangeOf(Codec codec) {
    switch (codec) {
        case Codec::QuarterHours:
            return {0, 24, 59};
        case Codec::HourMinuteBytes:
            return {-128, 127, 127};
        default:
            return {0, 0xFFFF, 0xFFFF};
    }
}

bool IsTime(Codec codec) {
    return codec == Codec::QuarterHours || codec == Codec::HourMinuteBytes ||
           codec == Codec::HourMinuteWords;
}

Validation Refused(Fault fault, std::string reason, const Field& field) {
    return {fault, std::move(reason), RangeText(field)};
}

constexpr std::string_view kNotATime = "not a time of the form H:MM";

// "H:MM" with a whole number on each side of the colon.
Validation ValidateTime(const Field& field, std::string_view typed) {
    const std::size_t colon = typed.find(':');
    const auto number = [](std::string_view part) {
        return codecs::IsWholeNumber(part) && part.find_first_of(".eE") == std::string_view::npos;
    };
    if (colon == std::string_view::npos || !number(typed.substr(0, colon)) ||
        !number(typed.substr(colon + 1))) {
        return Refused(Fault::NotATime, std::string(kNotATime), field);
    }
    const codecs::HourMinute time = codecs::ParseHourMinute(typed);
    const TimeRange range = TimeRangeOf(field.codec);
    const bool endOfDay = time.hours == range.maxHours && time.minutes == 0;
    if (time.hours < range.minHours || time.minutes < 0 || time.minutes > range.maxMinutes ||
        (field.codec == Codec::QuarterHours ? time.hours >= range.maxHours && !endOfDay
                                            : time.hours > range.maxHours)) {
        return Refused(Fault::OutOfRange, "outside " + RangeText(field), field);
    }
    // A quarter-hour time is stored only in the form the calendar pages take ("H:MM", "HH:MM").
    if (field.codec == Codec::QuarterHours && !codecs::TimeOfDayCodec().IsValidTime(typed)) {
        return Refused(Fault::NotATime, std::string(kNotATime), field);
    }
    if (field.codec == Codec::QuarterHours && time.minutes % 15 != 0) {
        return Refused(Fault::NotAQuarter, "the node keeps only whole quarter hours", field);
    }
    return {Fault::None, {}, RangeText(field)};
}

}  // namespace

std::string ShortName(const Field& field) {
    std::string name(field.name);
    const auto strip = [&name](std::string_view part, bool front) {
        const std::size_t at = front ? 0 : name.size() - std::min(name.size(), part.size());
        if (name.compare(at, part.size(), part) == 0) {
            name.erase(at, part.size());
            return true;
        }
        return false;
    };
    if (strip("output of ", true)) {
        for (std::string_view what : {"valve ", "pump ", "the "}) {
            strip(what, true);
        }
        name += " output";
    }
    for (std::string_view prefix : {"actual ", "calculated forward "}) {
        strip(prefix, true);
    }
    for (std::string_view suffix : {" temperature in use", " temperature"}) {
        strip(suffix, false);
    }
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

int Decimals(const Field& field) {
    switch (field.codec) {
        case Codec::DecimalTenths:
        case Codec::SignedHundredths:
            return 1;
        default:
            return 0;
    }
}

double Value(const Field& field, const std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    const int hi = bytes[field.offset];
    const int lo = Size(field) == 2 ? bytes[field.offset + 1] : 0;
    switch (field.codec) {
        case Codec::Word:
        case Codec::Mode:
            return codec.MakeWord(hi, lo);
        case Codec::Tenths:
            return codec.WordDivTen(hi, lo);
        case Codec::DecimalTenths:
            return codec.MakeWord(hi, lo) * 0.1;
        case Codec::SignedHundredths:
            return codec.SignedHundredths(hi, lo);
        case Codec::HalfHundredths:
            return codec.WordHalfHundredths(hi, lo);
        case Codec::SignedByte:
            return codec.SignedByte(hi);
        case Codec::HalfSteps:
            return codec.ByteHalves(hi);
        case Codec::Flag:
            return FlagSet(field, bytes) ? 1 : 0;
        case Codec::QuarterHours:
            return hi;
        case Codec::HourMinuteBytes:
        case Codec::HourMinuteWords: {
            const codecs::HourMinute time = HourMinuteOf(field, bytes);
            return time.hours * 60.0 + time.minutes;
        }
    }
    return 0;
}

std::string Text(const Field& field, const std::uint8_t* bytes) {
    switch (field.codec) {
        case Codec::QuarterHours:
            return codecs::TimeOfDayCodec().FormatTime(bytes[field.offset]);
        case Codec::HourMinuteBytes:
        case Codec::HourMinuteWords: {
            const codecs::HourMinute time = HourMinuteOf(field, bytes);
            return codecs::FormatHourMinute(time.hours, time.minutes);
        }
        default:
            break;
    }
    if (field.choices != nullptr) {
        const int index = ChoiceIndex(field, static_cast<int>(Value(field, bytes)));
        return std::string(index < 0
                               ? field.choices->other
                               : field.choices->choices[static_cast<std::size_t>(index)].text);
    }
    return codecs::FixedText(Value(field, bytes), Decimals(field));
}

int ChoiceIndex(const Field& field, int value) {
    if (field.choices == nullptr) {
        return -1;
    }
    const auto choices = field.choices->choices;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].value == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool FlagSet(const Field& field, const std::uint8_t* bytes) {
    return (bytes[field.offset] & field.mask) != 0;
}

void StoreText(const Field& field, std::string_view typed, std::uint8_t* bytes) {
    if (!Accepts(field, typed) || (DisplayRounds(field.codec) && typed == Text(field, bytes))) {
        return;
    }
    switch (field.codec) {
        case Codec::QuarterHours:
            bytes[field.offset] = codecs::TimeOfDayCodec().ParseTime(typed);
            return;
        case Codec::HourMinuteBytes:
        case Codec::HourMinuteWords:
            StoreHourMinute(field, codecs::ParseHourMinute(typed), bytes);
            return;
        default:
            StoreNumber(field, codecs::ReadNumber(typed), bytes);
    }
}

bool Accepts(const Field& field, std::string_view typed) {
    return field.codec != Codec::QuarterHours || codecs::TimeOfDayCodec().IsValidTime(typed);
}

std::string RangeText(const Field& field) {
    if (IsTime(field.codec)) {
        const TimeRange range = TimeRangeOf(field.codec);
        if (field.codec == Codec::QuarterHours) {
            return "0:00 to " + codecs::FormatHourMinute(range.maxHours, 0);
        }
        return "hours " + std::to_string(range.minHours) + " to " + std::to_string(range.maxHours) +
               ", minutes 0 to " + std::to_string(range.maxMinutes);
    }
    const Stored stored = StoredRange(field.codec);
    const auto end = [&stored](int word) {
        return codecs::FixedText(static_cast<double>(word) / stored.scale, stored.decimals);
    };
    return end(stored.min) + " to " + end(stored.max);
}

Validation Validate(const Field& field, std::string_view typed) {
    if (field.live) {
        return Refused(Fault::Live, "a live value the node computes", field);
    }
    if (IsTime(field.codec)) {
        return ValidateTime(field, typed);
    }
    if (!codecs::IsWholeNumber(typed)) {
        return Refused(Fault::NotANumber, "not a number", field);
    }
    const Stored stored = StoredRange(field.codec);
    const int word = codecs::TruncateToInt(codecs::ReadNumber(typed) * stored.scale);
    if (word < stored.min || word > stored.max) {
        return Refused(Fault::OutOfRange, "outside " + RangeText(field), field);
    }
    return {Fault::None, {}, RangeText(field)};
}

Limited Limit(const Field& field, double typed) {
    const Range* range = field.range;
    if (range == nullptr) {
        return {typed, {}};
    }
    // Written so that a typed "nan" takes the lower end too.
    if (!(typed >= range->min)) {
        return {static_cast<double>(range->min), range->belowMessage};
    }
    if (typed > range->max) {
        return {static_cast<double>(range->max), range->aboveMessage};
    }
    return {typed, {}};
}

void StoreNumber(const Field& field, double value, std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    const int at = field.offset;
    switch (field.codec) {
        case Codec::Word:
        case Codec::Mode:
            PutWord(bytes, at, codec.HighByte(value), codec.LowByte(value));
            break;
        case Codec::Tenths:
        case Codec::DecimalTenths:
            PutWord(bytes, at, codec.TenthsHighByte(value), codec.TenthsLowByte(value));
            break;
        case Codec::SignedHundredths:
            PutWord(bytes, at, codec.HundredthsHighByte(value), codec.HundredthsLowByte(value));
            break;
        case Codec::SignedByte:
            bytes[at] = static_cast<std::uint8_t>(codec.LowByte(value));
            break;
        case Codec::HalfSteps:
            bytes[at] = static_cast<std::uint8_t>(codec.ToHalfSteps(value));
            break;
        case Codec::Flag:
            StoreFlag(field, value != 0, bytes);
            break;
        case Codec::QuarterHours:
            bytes[at] = static_cast<std::uint8_t>(codec.LowByte(value));
            break;
        case Codec::HourMinuteBytes:
        case Codec::HourMinuteWords: {
            // A number of minutes.
            const int minutes = codecs::TruncateToInt(value);
            StoreHourMinute(field, {minutes / 60, minutes % 60}, bytes);
            break;
        }
        case Codec::HalfHundredths:
            break;  // display only
    }
}

void StoreFlag(const Field& field, bool on, std::uint8_t* bytes) {
    std::uint8_t& byte = bytes[field.offset];
    byte = static_cast<std::uint8_t>(on ? byte | field.mask : byte & ~field.mask);
}

void StoreWord(const Field& field, int word, std::uint8_t* bytes) {
    const codecs::NumericCodec codec;
    PutWord(bytes, field.offset, codec.IntHighByte(word), codec.IntLowByte(word));
}

std::string FileVariable(const Field& field) {
    const nv::Variable* variable = nv::Find(field.place.nv);
    if (variable == nullptr || variable->fileName.empty()) {
        return {};
    }
    std::string name(variable->fileName);
    if (field.place.part != 0) {
        name += " part " + std::to_string(field.place.part);
    }
    return name;
}

}  // namespace node
