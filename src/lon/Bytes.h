#pragma once
// Byte buffers of the link and the big-endian fields that LonTalk and IP-852 both use.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lon {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline void PutU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

inline void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, static_cast<std::uint16_t>(value >> 16));
    PutU16(out, static_cast<std::uint16_t>(value));
}

inline std::uint16_t GetU16(ByteView in, std::size_t at) {
    return static_cast<std::uint16_t>(in[at] << 8 | in[at + 1]);
}

inline std::uint32_t GetU32(ByteView in, std::size_t at) {
    return static_cast<std::uint32_t>(GetU16(in, at)) << 16 | GetU16(in, at + 2);
}

}  // namespace lon
