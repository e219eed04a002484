#pragma once
// A pcap file of every datagram between us and the router, as a packet analyser opens it.

#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "link/LinkSettings.h"
#include "lon/PcapWriter.h"

namespace host {

class CaptureFile {
public:
    // The error line, or nothing.
    std::optional<std::string> Open(const std::string& path);
    bool IsOpen() const { return pcap_ != nullptr; }
    // A datagram we sent from localPort to the router of the settings, or received from it.
    void Write(bool outgoing, std::uint16_t localPort, const LinkSettings& settings,
               lon::ByteView datagram);
    // A datagram between us and one member of the channel.
    void Write(bool outgoing, const lon::Endpoint& us, const lon::Endpoint& member,
               lon::ByteView datagram);

private:
    void Write(bool outgoing, const lon::UdpEndpoint& us, const lon::UdpEndpoint& router,
               lon::ByteView datagram);

    std::ofstream file_;
    std::unique_ptr<lon::PcapWriter> pcap_;
};

}  // namespace host
