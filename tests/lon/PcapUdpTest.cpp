#include <gtest/gtest.h>

#include <sstream>

#include "lon/PcapWriter.h"
#include "lon/UdpDatagram.h"

namespace {

using lon::Bytes;

// The worked example of the IPv4 header checksum: 192.168.0.1 to 192.168.0.199, UDP.
TEST(Pcap, Ipv4HeaderChecksum) {
    const Bytes header = {0x45, 0x00, 0x00, 0x73, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11,
                          0x00, 0x00, 0xC0, 0xA8, 0x00, 0x01, 0xC0, 0xA8, 0x00, 0xC7};
    EXPECT_EQ(lon::Ipv4HeaderChecksum(header), 0xB861);
}

TEST(Pcap, RecordsARawIpv4UdpPacket) {
    std::ostringstream out;
    lon::PcapWriter pcap(out);
    pcap.Write(std::chrono::microseconds(3'000'005), {{127, 0, 0, 1}, 40000}, {{10, 0, 0, 2}, 1628},
               Bytes{0xAB, 0xCD});
    const std::string file = out.str();
    const Bytes b(file.begin(), file.end());
    ASSERT_EQ(b.size(), 24u + 16u + 20u + 8u + 2u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(b[20], 101);  // raw IP link type
    EXPECT_EQ(b[24], 3);    // seconds
    EXPECT_EQ(b[28], 5);    // microseconds
    EXPECT_EQ(b[32], 30);   // captured length
    const lon::ByteView ip(b.data() + 40, 30);
    EXPECT_EQ(lon::GetU16(ip, 2), 30);                    // total length
    EXPECT_EQ(lon::Ipv4HeaderChecksum(ip.first(20)), 0);  // a correct header sums to zero
    EXPECT_EQ(lon::GetU16(ip, 22), 1628);
    EXPECT_EQ(lon::GetU16(ip, 24), 10);  // UDP length
}

TEST(UdpDatagram, ExchangesWithItsPeerOnLoopbackOnly) {
    lon::SteadyClock clock;
    lon::UdpDatagram a(clock, "127.0.0.1", 0);
    lon::UdpDatagram b(clock, "127.0.0.1", 0);
    lon::UdpDatagram stranger(clock, "127.0.0.1", 0);
    a.SetPeer("127.0.0.1", b.LocalPort());
    b.SetPeer("127.0.0.1", a.LocalPort());
    stranger.SetPeer("127.0.0.1", b.LocalPort());
    ASSERT_TRUE(stranger.Send(Bytes{0x01}));
    ASSERT_TRUE(a.Send(Bytes{0x02, 0x03}));
    // a's datagram waits in b's socket already (the deadline is only a bound); the stranger's
    // never reaches b, whose socket is connected to a.
    EXPECT_EQ(b.Receive(clock.Now() + lon::Millis(5000)), (Bytes{0x02, 0x03}));
    EXPECT_FALSE(b.Receive(clock.Now()));
}

}  // namespace
