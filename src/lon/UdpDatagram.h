#pragma once
// The datagram network over a POSIX UDP socket: bound to a local IPv4 address and port, sending
// to one peer (the LON/IP router or a served node) and waiting in poll() for what the peer sends.
// The socket is connected to that peer: datagrams from any other address are dropped, and a peer
// port where nothing listens is heard of (a refusal). A member that also takes what its channel's
// configuration server sends, or a served router that hears every member, is not connected and
// sorts what arrives by its source itself.

#include <cstdint>
#include <string>
#include <vector>

#include <netinet/in.h>

#include "lon/Clock.h"
#include "lon/Datagram.h"

namespace lon {

// The address of ours that datagrams to this member leave from (the route's source address);
// throws std::system_error when there is no route.
std::uint32_t LocalAddressTowards(const Endpoint& member);
// A UDP port free on that address now.
std::uint16_t FreeUdpPort(std::uint32_t address);

class UdpDatagram final : public Datagram {
public:
    // Throws std::system_error when the socket cannot be made or bound (port 0: any free port).
    UdpDatagram(Clock& clock, const std::string& localHost, std::uint16_t localPort);
    ~UdpDatagram() override;
    UdpDatagram(const UdpDatagram&) = delete;
    UdpDatagram& operator=(const UdpDatagram&) = delete;

    // Names the peer by IPv4 address or host name; throws std::system_error when it does not
    // resolve.
    void SetPeer(const std::string& host, std::uint16_t port);
    // Takes datagrams from this member too (the channel's configuration server): the socket is
    // no longer connected, so refusals go unheard.
    void AlsoAccept(const Endpoint& member);
    // A served router hears everyone; the channel above it decides what it takes.
    void AcceptAnyone() { anyone_ = true; }
    // Where Send goes from now on, without connecting.
    void SetPeer(const Endpoint& peer);

    bool Send(ByteView bytes) override;
    bool SendTo(ByteView bytes, const Endpoint& to) override;
    std::optional<Bytes> Receive(Millis deadline) override;
    std::optional<Endpoint> LastSource() const override { return lastSource_; }

    std::uint16_t LocalPort() const;
    std::uint64_t ForeignDatagrams() const { return foreign_; }
    // How often the peer's host said that nothing listens on its port.
    std::uint64_t Refusals() const { return refused_; }

private:
    Clock& clock_;
    int socket_ = -1;
    sockaddr_in peer_{};
    std::uint64_t foreign_ = 0;
    std::uint64_t refused_ = 0;
    bool anyone_ = false;
    std::vector<Endpoint> alsoFrom_;
    std::optional<Endpoint> lastSource_;
    Bytes buffer_;
};

}  // namespace lon
