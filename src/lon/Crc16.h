#pragma once
// The CRC-16 that ends every LonTalk packet on a channel and in an IP-852 data packet: the CCITT
// polynomial 0x1021 shifted in high bit first, started at 0xFFFF, complemented at the end, and sent
// high byte first.

#include <cstdint>

#include "lon/Bytes.h"

namespace lon {

std::uint16_t Crc16(ByteView bytes);

// The bytes followed by their CRC.
Bytes WithCrc(ByteView bytes);

// True when the last two bytes are the CRC of the ones before them.
bool CrcMatches(ByteView bytesWithCrc);

}  // namespace lon
