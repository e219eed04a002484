#pragma once
// Single-bit flags packed into a byte. Bit index n (0 to 7) names mask 0x80 >> n.

#include "codecs/NumericCodec.h"

namespace codecs {

class BitCodec : public NumericCodec {
public:
    ~BitCodec() override = default;

    int GetBit(int value, int n) const;
    int SetBit(int byte, int n) const;
    int ClearBit(int byte, int n) const;
    int ReverseBits(int byte) const;
};

}  // namespace codecs
