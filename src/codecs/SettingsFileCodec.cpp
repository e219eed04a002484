#include "codecs/SettingsFileCodec.h"

#include <array>
#include <charconv>

#include "codecs/NumberReader.h"
#include "codecs/NumericCodec.h"

namespace codecs {
namespace {

constexpr std::string_view kSeparator = ", ";
constexpr std::string_view kLineEnd = "\n\n";

// A whole number as "%.0f" writes it.
void AppendWhole(std::string& out, int value) {
    std::array<char, 16> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

// A number with one decimal, as "%.1f" writes it, independent of the locale.
void AppendOneDecimal(std::string& out, double value) {
    out += FixedText(value, 1);
}

// The text of a field that starts at offset and ends at the next comma (or the line end).
std::string_view FieldAt(std::string_view line, std::size_t offset) {
    if (offset == std::string_view::npos || offset > line.size()) {
        return {};
    }
    const std::string_view rest = line.substr(offset);
    return rest.substr(0, rest.find(','));
}

// The text of a field that runs from offset to the end of the line.
std::string_view RestAt(std::string_view line, std::size_t offset) {
    if (offset == std::string_view::npos || offset > line.size()) {
        return {};
    }
    return line.substr(offset);
}

int ReadWhole(std::string_view text) {
    return TruncateToInt(ReadNumber(text));
}

// Two digits of a clock field, as the runtime's date and time texts hold them.
void AppendTwoDigits(std::string& out, int value) {
    value %= 100;
    if (value < 0) {
        value += 100;
    }
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string SettingsFileCodec::FormatStrInt(const std::uint8_t* image31) const {
    const NumericCodec numeric;
    std::string text;
    AppendWhole(text, numeric.SignedByte(image31[0]));
    for (int k = 1; k <= 15; ++k) {
        text += kSeparator;
        AppendWhole(text, numeric.MakeWord(image31[2 * k - 1], image31[2 * k]));
    }
    text += kLineEnd;
    return text;
}

std::string SettingsFileCodec::FormatCount(const std::uint8_t* image2) const {
    const NumericCodec numeric;
    std::string text;
    AppendWhole(text, numeric.MakeWord(image2[0], image2[1]));
    text += kLineEnd;
    return text;
}

std::string SettingsFileCodec::FormatTimeSec(const std::uint8_t* image2) const {
    const NumericCodec numeric;
    std::string text;
    // Whole seconds only: the tenths are dropped before formatting.
    AppendOneDecimal(text, numeric.WordDivTen(image2[0], image2[1]));
    text += kLineEnd;
    return text;
}

std::string SettingsFileCodec::FormatTimePassed(const std::uint8_t* image4) const {
    const NumericCodec numeric;
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            text += kSeparator;
        }
        AppendWhole(text, numeric.SignedByte(image4[i]));
    }
    text += kLineEnd;
    return text;
}

std::string SettingsFileCodec::FormatExportDate(int year, int month, int day) const {
    // The runtime's date text "MM/DD/YY", rearranged to day "/" month "-" four-digit year.
    std::string runtimeDate;
    AppendTwoDigits(runtimeDate, month);
    runtimeDate += '/';
    AppendTwoDigits(runtimeDate, day);
    runtimeDate += '/';
    AppendTwoDigits(runtimeDate, year);
    const std::string_view date = runtimeDate;

    std::string text;
    AppendWhole(text, ReadWhole(date.substr(3, 2)));
    text += '/';
    AppendWhole(text, ReadWhole(date.substr(0, 2)));
    text += '-';
    AppendWhole(text, ReadWhole(date.substr(6, 2)) + 2000);
    text += ' ';
    return text;
}

std::string SettingsFileCodec::FormatExportTime(int hour, int minute, int second) const {
    // The runtime's time text "HH:MM:SS", shown without the hour's leading zero.
    std::string runtimeTime;
    AppendTwoDigits(runtimeTime, hour);
    runtimeTime += ':';
    AppendTwoDigits(runtimeTime, minute);
    runtimeTime += ':';
    AppendTwoDigits(runtimeTime, second);
    const std::string_view time = runtimeTime;

    const int shownHour = ReadWhole(time.substr(0, 2));
    const int shownMinute = ReadWhole(time.substr(3, 2));
    const int shownSecond = ReadWhole(time.substr(6, 2));
    std::string text;
    AppendWhole(text, shownHour);
    text += ':';
    if (shownMinute < 10) {
        text += '0';
    }
    AppendWhole(text, shownMinute);
    text += ':';
    if (shownSecond < 10) {
        text += '0';
    }
    AppendWhole(text, shownSecond);
    return text;
}

std::size_t SettingsFileCodec::SkipFields(std::string_view line, int n) const {
    std::size_t offset = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t comma = line.find(',', offset);
        if (comma == std::string_view::npos) {
            return std::string_view::npos;
        }
        // The comma and the one character after it (the space of ", ").
        offset = comma + 2;
        if (offset > line.size()) {
            offset = line.size();
        }
    }
    return offset;
}

bool SettingsFileCodec::HasFields(std::string_view line, int fields) const {
    if (fields <= 1) {
        return true;
    }
    return SkipFields(line, fields - 1) != std::string_view::npos;
}

std::uint8_t SettingsFileCodec::ParseStrIntByte(std::string_view line, int index) const {
    const NumericCodec numeric;
    if (index == 0) {
        return static_cast<std::uint8_t>(numeric.IntLowByte(ReadWhole(FieldAt(line, 0))));
    }
    int value = 0;
    if (index >= 1 && index <= 28) {
        value = ReadWhole(FieldAt(line, SkipFields(line, (index + 1) / 2)));
    } else if (index == 29 || index == 30) {
        value = ReadWhole(RestAt(line, SkipFields(line, 15)));
    } else {
        return 0;
    }
    const int byte = (index % 2 == 1) ? numeric.IntHighByte(value) : numeric.IntLowByte(value);
    return static_cast<std::uint8_t>(byte);
}

std::uint8_t SettingsFileCodec::ParseCountByte(std::string_view line, int selector) const {
    const NumericCodec numeric;
    const int value = ReadWhole(line);
    return static_cast<std::uint8_t>(selector == 0 ? numeric.IntHighByte(value)
                                                   : numeric.IntLowByte(value));
}

std::uint8_t SettingsFileCodec::ParseTimeSecByte(std::string_view line, int selector) const {
    const NumericCodec numeric;
    // Tenths of a second, truncated after the product in double precision (0.3 gives 3).
    const int value = TruncateToInt(ReadNumber(line) * 10.0);
    return static_cast<std::uint8_t>(selector == 0 ? numeric.IntHighByte(value)
                                                   : numeric.IntLowByte(value));
}

std::uint8_t SettingsFileCodec::ParseTimePassedByte(std::string_view line, int index) const {
    const NumericCodec numeric;
    std::string_view field;
    if (index == 0) {
        field = FieldAt(line, 0);
    } else if (index == 1 || index == 2) {
        field = FieldAt(line, SkipFields(line, index));
    } else if (index == 3) {
        field = RestAt(line, SkipFields(line, 3));
    } else {
        return 0;
    }
    return static_cast<std::uint8_t>(numeric.IntLowByte(ReadWhole(field)));
}

}  // namespace codecs
