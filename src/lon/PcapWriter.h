#pragma once
// A capture file of the link's datagrams that any packet analyser opens: the pcap global header,
// then each datagram as a raw IPv4 packet with its UDP header, lengths and header checksum
// filled in as the network would have carried it.

#include <array>
#include <chrono>
#include <cstdint>
#include <ostream>

#include "lon/Bytes.h"

namespace lon {

struct UdpEndpoint {
    std::array<std::uint8_t, 4> address{};
    std::uint16_t port = 0;
};

// The one's-complement sum of the header's 16-bit words, complemented (checksum field as zero).
std::uint16_t Ipv4HeaderChecksum(ByteView header);

// An IPv4 packet (20-byte header, no options) holding one UDP datagram; the UDP checksum is left
// zero, which IPv4 allows.
Bytes UdpIpv4Packet(const UdpEndpoint& from, const UdpEndpoint& to, ByteView payload,
                    std::uint16_t identification);

class PcapWriter {
public:
    // Writes the global header at once.
    explicit PcapWriter(std::ostream& out);

    void Write(std::chrono::microseconds time, const UdpEndpoint& from, const UdpEndpoint& to,
               ByteView payload);

private:
    std::ostream& out_;
    std::uint16_t identification_ = 0;
};

}  // namespace lon
