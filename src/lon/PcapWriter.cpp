#include "lon/PcapWriter.h"

namespace lon {
namespace {

constexpr std::size_t kIpv4HeaderSize = 20;
constexpr std::size_t kUdpHeaderSize = 8;
constexpr std::uint8_t kUdpProtocol = 17;
// Link type "raw IP": each record starts with the IPv4 header.
constexpr std::uint32_t kLinkTypeRaw = 101;
constexpr std::uint32_t kSnapLength = 65535;

// The file's own fields are little-endian, which the magic number tells a reader.
void PutLe32(std::ostream& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    out.write(bytes, sizeof bytes);
}

void PutLe16(std::ostream& out, std::uint16_t value) {
    const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
    out.write(bytes, sizeof bytes);
}

}  // namespace

std::uint16_t Ipv4HeaderChecksum(ByteView header) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < header.size(); i += 2) {
        sum += GetU16(header, i);
    }
    while (sum > 0xFFFF) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

Bytes UdpIpv4Packet(const UdpEndpoint& from, const UdpEndpoint& to, ByteView payload,
                    std::uint16_t identification) {
    const auto udpLength = static_cast<std::uint16_t>(kUdpHeaderSize + payload.size());
    Bytes out{0x45, 0x00};
    PutU16(out, static_cast<std::uint16_t>(kIpv4HeaderSize + udpLength));
    PutU16(out, identification);
    PutU16(out, 0x4000);  // don't fragment
    out.push_back(64);    // time to live
    out.push_back(kUdpProtocol);
    PutU16(out, 0);  // checksum, filled in below
    out.insert(out.end(), from.address.begin(), from.address.end());
    out.insert(out.end(), to.address.begin(), to.address.end());
    const std::uint16_t checksum = Ipv4HeaderChecksum(out);
    out[10] = static_cast<std::uint8_t>(checksum >> 8);
    out[11] = static_cast<std::uint8_t>(checksum);
    PutU16(out, from.port);
    PutU16(out, to.port);
    PutU16(out, udpLength);
    PutU16(out, 0);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

PcapWriter::PcapWriter(std::ostream& out) : out_(out) {
    PutLe32(out_, 0xA1B2C3D4);
    PutLe16(out_, 2);
    PutLe16(out_, 4);
    PutLe32(out_, 0);  // time zone
    PutLe32(out_, 0);  // timestamp accuracy
    PutLe32(out_, kSnapLength);
    PutLe32(out_, kLinkTypeRaw);
    out_.flush();
}

void PcapWriter::Write(std::chrono::microseconds time, const UdpEndpoint& from,
                       const UdpEndpoint& to, ByteView payload) {
    const Bytes packet = UdpIpv4Packet(from, to, payload, identification_++);
    const auto micros = static_cast<std::uint64_t>(time.count());
    PutLe32(out_, static_cast<std::uint32_t>(micros / 1000000));
    PutLe32(out_, static_cast<std::uint32_t>(micros % 1000000));
    PutLe32(out_, static_cast<std::uint32_t>(packet.size()));
    PutLe32(out_, static_cast<std::uint32_t>(packet.size()));
    out_.write(reinterpret_cast<const char*>(packet.data()),
               static_cast<std::streamsize>(packet.size()));
    // A capture is what a technician sends when something went wrong: keep it whole on disk.
    out_.flush();
}

}  // namespace lon
