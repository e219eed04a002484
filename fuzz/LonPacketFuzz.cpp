// The LON/IP decoders on any bytes: IP-852 framing (plain, and with a secret), the LonTalk packet
// with and without its CRC, and the network-management readers on its APDU. Every packet the
// decoder accepts encodes to bytes that decode to the same packet, and a framed packet splits
// back into the payload it was given.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "lon/Ip852.h"
#include "lon/NetworkManagement.h"
#include "lon/Packet.h"

namespace {

const lon::Bytes kSecret = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

void CheckPacket(lon::ByteView bytes) {
    const std::optional<lon::Packet> packet = lon::Decode(bytes);
    if (!packet) {
        return;
    }
    fuzz::Require(lon::IsDomainLength(packet->domain.length), "a decoded domain length is valid");
    const lon::Bytes encoded = lon::Encode(*packet);
    fuzz::Require(lon::Decode(encoded) == packet, "an accepted packet encodes to itself");
    fuzz::Require(lon::DecodeWithCrc(lon::EncodeWithCrc(*packet)) == packet,
                  "a packet with its CRC decodes to itself");
    lon::Bytes value;
    lon::NvConfig config;
    lon::NodeIdentity identity;
    lon::ReadNvFetchResponse(packet->body, 300, value);
    lon::ReadNvConfigResponse(packet->body, config);
    lon::ReadQueryIdResponse(packet->body, identity);
    lon::ReadServicePin(packet->body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lon::ByteView bytes(data, size);
    CheckPacket(bytes);
    lon::DecodeWithCrc(bytes);
    for (const lon::ByteView secret : {lon::ByteView{}, lon::ByteView(kSecret)}) {
        for (const lon::Ip852Packet& packet : lon::DecodeIp852(bytes, secret).packets) {
            fuzz::Require(packet.header.length <= size, "a packet lies within its datagram");
            CheckPacket(packet.payload);
            lon::DecodeWithCrc(packet.payload);
            const lon::Bytes again = lon::EncodeIp852(packet.header, packet.payload, secret);
            const lon::Ip852Datagram back = lon::DecodeIp852(again, secret);
            fuzz::Require(back.packets.size() == 1 && back.packets[0].payload == packet.payload,
                          "a framed payload splits back into itself");
        }
    }
    return 0;
}
