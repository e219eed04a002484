#pragma once
// Value lines of the settings file: a network variable's byte image to its text line and
// back, one byte per parse call. Also the export date and time texts.

#include <cstdint>
#include <string>
#include <string_view>

namespace codecs {

class SettingsFileCodec {
public:
    virtual ~SettingsFileCodec() = default;

    // Formatting; each result ends with "\n\n" (the line end and one empty line).
    std::string FormatStrInt(const std::uint8_t* image31) const;
    std::string FormatCount(const std::uint8_t* image2) const;
    std::string FormatTimeSec(const std::uint8_t* image2) const;
    std::string FormatTimePassed(const std::uint8_t* image4) const;
    // The PC's local date and time as the runtime's texts give them ("MM/DD/YY", "HH:MM:SS").
    std::string FormatExportDate(int year, int month, int day) const;      // "6/12-2026 "
    std::string FormatExportTime(int hour, int minute, int second) const;  // "9:05:07"

    // Parsing, one byte per call.
    std::uint8_t ParseStrIntByte(std::string_view line, int index) const;
    std::uint8_t ParseCountByte(std::string_view line, int selector) const;
    std::uint8_t ParseTimeSecByte(std::string_view line, int selector) const;
    std::uint8_t ParseTimePassedByte(std::string_view line, int index) const;
    // Offset of field n: n times, drop up to and including the next "," and one more character.
    // Returns std::string_view::npos when a comma is missing (the line is short).
    std::size_t SkipFields(std::string_view line, int n) const;

    // Whether a value line holds every field of its kind: 16 fields for 31-byte images,
    // 4 for the time-passed kind. A short line parses its missing fields as 0; callers that
    // must not write guessed bytes (the download) refuse it.
    bool HasFields(std::string_view line, int fields) const;
};

}  // namespace codecs
