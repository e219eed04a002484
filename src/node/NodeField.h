#pragma once
// Node fields: what one value of the node is and where its bytes live (a network variable or
// a part of nviPluginCnf, byte offset, mask), how its bytes turn into the number or text a
// technician sees and back (its codec, with the display format that goes with it), and its
// unit. Pages bind fields to their controls; the settings-file viewer, comparisons and the
// write history name and decode values with the same declarations. A field also says whether
// it is a live value the node computes or configuration, the value the factory defaults give
// it, and which typed values its bytes can store. Plain C++, no Qt.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "node/NodeVariableMap.h"

namespace node {

// How a field's bytes are read and written. Every multi-byte number is big-endian.
enum class Codec : std::uint8_t {
    Word,              // unsigned 16-bit number, "%.0f"; typed numbers truncated, 16-bit wrap
    Tenths,            // 16-bit tenths shown whole: 305 shows 30, typed 30.5 stores 305
    DecimalTenths,     // 16-bit tenths shown with one decimal: 25 shows 2.5
    SignedHundredths,  // 16-bit hundredths, words above 10000 negative, "%.1f"
    HalfHundredths,    // 16-bit output in half hundredths, shown whole, display only
    SignedByte,        // one byte, two's complement, "%.0f"
    HalfSteps,         // one byte of 0.5 steps, shown whole
    Flag,              // the bits of mask in one byte: set or clear
    Mode,              // mode word: 0 Off, 1 Manual, every other value Automatic
    QuarterHours,      // one byte of quarter hours since midnight, "H:MM" (33 shows 8:15);
                       // only a typed text of the form "H:MM" or "HH:MM" up to 24:00 is stored
    HourMinuteBytes,   // an hour byte and a minute byte, signed, "H:MM"; typed text unchecked
    HourMinuteWords,   // an hours word and a minutes word, "H:MM"; typed text unchecked
};

// One value of an enumerated field and its text.
struct Choice {
    int value;
    std::string_view text;
};

// The texts of an enumerated field: its choices, and the text of every other value (empty when
// other values have none, and the page leaves its control as it was).
struct Choices {
    std::span<const Choice> choices;
    std::string_view other;
};

// The range a page holds a typed number to, and the message that says which end it took.
struct Range {
    int min;
    int max;
    std::string_view belowMessage;
    std::string_view aboveMessage;
};

// Where a field's bytes live: a plain network variable, or a part of nviPluginCnf shown
// through NV 45.
struct Place {
    int nv = 0;
    int part = 0;  // 0 for a plain variable

    friend constexpr bool operator==(const Place&, const Place&) = default;
};

constexpr Place Variable(int index) {
    return {index, 0};
}
constexpr Place Part(int part) {
    return {nv::kPluginCnf, part};
}

struct Field {
    std::string_view name;  // what the technician calls it
    Place place;
    int offset = 0;  // first byte within the variable or part
    Codec codec = Codec::Word;
    std::string_view unit = "";
    std::uint8_t mask = 0;             // Flag: the bits of the byte at offset
    const Choices* choices = nullptr;  // an enumerated field: the texts of its values
    const Range* range = nullptr;      // a typed number the page holds to a range
    bool live = false;                 // a value the node computes: read only
    // The number the factory defaults store (as StoreNumber takes it); a flag 1 for set. Only
    // the configuration the factory defaults write (NV 37 to 43, the parts) has one.
    double factory = 0;
};

// The field with the value the factory defaults give it.
constexpr Field Factory(Field field, double value) {
    field.factory = value;
    return field;
}

// A declared field, with what tells it from the fields named alike ("circuit 2", "point 3",
// "Monday"); empty when the name alone is clear.
struct CatalogueEntry {
    Field field;
    std::string_view qualifier;
};

// A flag field: the bits of mask in the byte at offset.
constexpr Field Flag(std::string_view name, Place place, int offset, std::uint8_t mask) {
    return {name, place, offset, Codec::Flag, "", mask};
}

// Bytes the field takes (1, 2 or 4).
constexpr int Size(const Field& field) {
    switch (field.codec) {
        case Codec::SignedByte:
        case Codec::HalfSteps:
        case Codec::Flag:
        case Codec::QuarterHours:
            return 1;
        case Codec::HourMinuteWords:
            return 4;
        default:
            return 2;
    }
}
// Whether two fields claim a bit of the same place: overlapping bytes, and for two flags of
// one byte overlapping masks.
constexpr bool ClaimTheSameBits(const Field& a, const Field& b) {
    if (!(a.place == b.place) || a.offset >= b.offset + Size(b) || b.offset >= a.offset + Size(a)) {
        return false;
    }
    return a.codec != Codec::Flag || b.codec != Codec::Flag || (a.mask & b.mask) != 0;
}
// The decimals the field's number is shown with (0 or 1, as "%.0f" or "%.1f" shows it).
int Decimals(const Field& field);
// The name a chart's legend shows: the valve or pump first ("Mv1 output"), without the words
// every live value shares ("actual", "temperature"), capitalised ("Forward").
std::string ShortName(const Field& field);

// The number the bytes hold (flags 0 or 1, modes their word); bytes starts at byte 0 of the
// variable or part.
double Value(const Field& field, const std::uint8_t* bytes);
// The number as the pages show it, with the field's decimals and a decimal point whatever the
// desktop's language; a time as "H:MM"; an enumerated value as its text (empty for a value
// without one).
std::string Text(const Field& field, const std::uint8_t* bytes);
// The index of an enumerated value among the field's choices, or -1.
int ChoiceIndex(const Field& field, int value);
bool FlagSet(const Field& field, const std::uint8_t* bytes);

// Stores a typed text by the atof rules ("12abc" is 12, "abc" is 0), truncated toward zero
// after scaling. A text equal to what the field shows for the bytes it is stored into keeps
// the stored word: tenths and hundredths shown without all their digits are not rounded away
// by a Write that did not touch them.
// A typed time that is not of the accepted form is not stored.
void StoreText(const Field& field, std::string_view typed, std::uint8_t* bytes);
// Whether StoreText takes the typed text: false only for a time of the wrong form.
bool Accepts(const Field& field, std::string_view typed);
// A typed number held to the field's range: the number, or the end it was set to and the
// message that says so (empty within the range or for a field without one).
struct Limited {
    double value;
    std::string_view message;
};
Limited Limit(const Field& field, double typed);
// Why a typed text or a settings-file value cannot be stored as it is; kept by the caller, which
// decides what to do with it (the pages hold a number to a Range, a calendar refuses a time).
enum class Fault : std::uint8_t {
    None,
    Live,         // the node computes the value
    NotANumber,   // not a number as a whole ("12abc", "")
    NotATime,     // not "H:MM"
    OutOfRange,   // beyond what the bytes store and read back
    NotAQuarter,  // a time of day the node keeps only to the quarter hour below
};
struct Validation {
    Fault fault = Fault::None;
    std::string reason;  // empty when the value can be stored
    std::string range;   // what the bytes store: "0 to 65535", "0:00 to 24:00"

    bool Storable() const { return fault == Fault::None; }
};
// What the field's bytes can store and read back as typed (up to the digits the display drops).
std::string RangeText(const Field& field);
// Whether the typed text is a value the field's bytes store and read back as typed, and why not.
Validation Validate(const Field& field, std::string_view typed);

// Stores a number, truncated toward zero after scaling.
void StoreNumber(const Field& field, double value, std::uint8_t* bytes);
void StoreFlag(const Field& field, bool on, std::uint8_t* bytes);
void StoreWord(const Field& field, int word, std::uint8_t* bytes);

// The settings-file variable that carries the field: "nciTemp1PlugIn", or "nviPluginCnf part 3";
// empty for a variable the settings file does not hold.
std::string FileVariable(const Field& field);

}  // namespace node
