#pragma once
// A pcap file of every datagram between us and the router, as a packet analyser opens it.

#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "link/LinkSettings.h"
#include "lon/PcapWriter.h"

namespace host {

class CaptureFile {
public:
    CaptureFile() = default;
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;
    ~CaptureFile();

    // The error line, or nothing. A file that exists is refused unless the target says to
    // replace it; either way the file is this user's alone (mode 0600).
    std::optional<std::string> Open(const CaptureTarget& target);
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

    // Hands what the writer has formatted to the file.
    void Flush();

    int fd_ = -1;
    std::ostringstream pending_;
    std::unique_ptr<lon::PcapWriter> pcap_;
};

}  // namespace host
