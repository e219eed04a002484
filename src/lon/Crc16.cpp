#include "lon/Crc16.h"

namespace lon {

std::uint16_t Crc16(ByteView bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) != 0 ? static_cast<std::uint16_t>(crc << 1 ^ 0x1021)
                                      : static_cast<std::uint16_t>(crc << 1);
        }
    }
    return static_cast<std::uint16_t>(~crc);
}

Bytes WithCrc(ByteView bytes) {
    Bytes out(bytes.begin(), bytes.end());
    PutU16(out, Crc16(bytes));
    return out;
}

bool CrcMatches(ByteView bytesWithCrc) {
    if (bytesWithCrc.size() < 2) {
        return false;
    }
    const std::size_t end = bytesWithCrc.size() - 2;
    return Crc16(bytesWithCrc.first(end)) == GetU16(bytesWithCrc, end);
}

}  // namespace lon
