#pragma once
// The time a LonTalk packet takes on a free-topology twisted-pair channel (FT-10, 78.125 kbit/s):
// the packet and its CRC, eight bits a byte, with the bit-sync preamble, the byte-sync bit and
// the end code around it. A contention channel with its gaps and randomizing slots carries about
// 70 % of its raw capacity, so each frame costs its time over 0.7.

#include <cstddef>

namespace lon {

inline constexpr double kFt10BitsPerSecond = 78125;
inline constexpr double kFt10Efficiency = 0.7;
inline constexpr std::size_t kFt10FrameOverheadBits = 6 + 1 + 3;  // preamble, sync, end code
inline constexpr std::size_t kCrcBytes = 2;

// The channel's time, in seconds, for one frame of a LonTalk packet of that many bytes (its
// CRC not counted).
constexpr double Ft10FrameSeconds(std::size_t packetBytes) {
    const double bits = static_cast<double>(8 * (packetBytes + kCrcBytes) + kFt10FrameOverheadBits);
    return bits / kFt10BitsPerSecond / kFt10Efficiency;
}

// The channel's time for one host call, subnet/node addressed in a domain of domainBytes: an NV
// fetch of an NV of valueBytes with its answer, or an acknowledged NV update of valueBytes with
// its acknowledgement.
double Ft10TransactionSeconds(bool update, std::size_t valueBytes, std::size_t domainBytes = 0);

}  // namespace lon
