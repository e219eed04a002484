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
    // A datagram we sent from localPort to the router of the settings, or received from it.
    void Write(bool outgoing, std::uint16_t localPort, const LinkSettings& settings,
               lon::ByteView datagram);

private:
    std::ofstream file_;
    std::unique_ptr<lon::PcapWriter> pcap_;
};

}  // namespace host
