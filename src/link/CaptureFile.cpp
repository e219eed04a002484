#include "link/CaptureFile.h"

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>

namespace host {
namespace {

lon::UdpEndpoint Endpoint(const std::string& host, std::uint16_t port) {
    lon::UdpEndpoint endpoint;
    in_addr address{};
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&address.s_addr);
        std::copy_n(bytes, 4, endpoint.address.begin());
    }
    endpoint.port = port;
    return endpoint;
}

}  // namespace

std::optional<std::string> CaptureFile::Open(const std::string& path) {
    file_.open(path, std::ios::binary | std::ios::trunc);
    if (!file_) {
        return "capture file " + path + " cannot be written";
    }
    pcap_ = std::make_unique<lon::PcapWriter>(file_);
    return std::nullopt;
}

void CaptureFile::Write(bool outgoing, std::uint16_t localPort, const LinkSettings& settings,
                        lon::ByteView datagram) {
    const lon::UdpEndpoint us = Endpoint("127.0.0.1", localPort);
    const lon::UdpEndpoint router = Endpoint(settings.router, settings.port);
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    pcap_->Write(now, outgoing ? us : router, outgoing ? router : us, datagram);
    file_.flush();
}

}  // namespace host
