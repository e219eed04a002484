#pragma once
// Conversions between network-variable bytes (big-endian 16-bit fields) and the numbers
// that pages show, and typed numbers back into bytes. Stateless: create one on the stack
// for a conversion. Numbers to bytes truncate toward zero after the multiplication in double
// precision; the caller stores the low 8 bits of each result.

namespace codecs {

class NumericCodec {
public:
    virtual ~NumericCodec() = default;

    // Bytes to numbers. hi and lo are the two bytes of a big-endian field; bytes use their
    // low 8 bits.
    int MakeWord(int hi, int lo) const;
    double WordDivTen(int hi, int lo) const;
    int SignedByte(int byte) const;
    double SignedHundredths(int hi, int lo) const;
    double ByteHalves(int byte) const;
    double WordHalfHundredths(int hi, int lo) const;

    // Numbers to bytes.
    int ToHalfSteps(double x) const;
    int TenthsHighByte(double x) const;
    int TenthsLowByte(double x) const;
    int HundredthsHighByte(double x) const;
    int HundredthsLowByte(double x) const;
    int HighByte(double x) const;
    int LowByte(double x) const;
    int IntHighByte(int n) const;
    int IntLowByte(int n) const;
};

// t(v): v truncated toward zero to a 32-bit signed integer. Saturating: values beyond the
// 32-bit range give its nearest end (so their low bytes are FF or 00), NaN gives 0.
int TruncateToInt(double v);

}  // namespace codecs
