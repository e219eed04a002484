#include "codecs/BitCodec.h"

namespace codecs {
namespace {

bool IsBitIndex(int n) {
    return n >= 0 && n <= 7;
}

int MaskOf(int n) {
    return 0x80 >> n;
}

}  // namespace

int BitCodec::GetBit(int value, int n) const {
    if (!IsBitIndex(n)) {
        return 0;
    }
    return (value & 0xFF & MaskOf(n)) != 0 ? 1 : 0;
}

int BitCodec::SetBit(int byte, int n) const {
    if (!IsBitIndex(n)) {
        return byte;
    }
    return byte | MaskOf(n);
}

int BitCodec::ClearBit(int byte, int n) const {
    if (!IsBitIndex(n)) {
        return byte;
    }
    return byte & ~MaskOf(n);
}

int BitCodec::ReverseBits(int byte) const {
    int result = 0;
    for (int i = 0; i < 8; ++i) {
        if (GetBit(byte, i) == 1) {
            result = SetBit(result, 7 - i);
        } else {
            result = ClearBit(result, 7 - i);
        }
    }
    return result;
}

}  // namespace codecs
