#include "node/NodeField.h"

#include "codecs/NumberReader.h"
#include "codecs/NumericCodec.h"

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
            return true;
        default:
            return false;
    }
}

}  // namespace

int Size(const Field& field) {
    switch (field.codec) {
        case Codec::SignedByte:
        case Codec::HalfSteps:
        case Codec::Flag:
            return 1;
        default:
            return 2;
    }
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
    }
    return 0;
}

std::string Text(const Field& field, const std::uint8_t* bytes) {
    return codecs::FixedText(Value(field, bytes), Decimals(field));
}

bool FlagSet(const Field& field, const std::uint8_t* bytes) {
    return (bytes[field.offset] & field.mask) != 0;
}

void StoreText(const Field& field, std::string_view typed, std::uint8_t* bytes) {
    if (DisplayRounds(field.codec) && typed == Text(field, bytes)) {
        return;
    }
    StoreNumber(field, codecs::ReadNumber(typed), bytes);
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
