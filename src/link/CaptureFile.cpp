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

lon::UdpEndpoint Endpoint(const lon::Endpoint& member) {
    lon::UdpEndpoint endpoint;
    for (int i = 0; i < 4; ++i) {
        endpoint.address[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(member.address >> (24 - 8 * i));
    }
    endpoint.port = member.port;
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
    Write(outgoing, Endpoint("127.0.0.1", localPort), Endpoint(settings.router, settings.port),
          datagram);
}

void CaptureFile::Write(bool outgoing, const lon::Endpoint& us, const lon::Endpoint& member,
                        lon::ByteView datagram) {
    Write(outgoing, Endpoint(us), Endpoint(member), datagram);
}

void CaptureFile::Write(bool outgoing, const lon::UdpEndpoint& us, const lon::UdpEndpoint& router,
                        lon::ByteView datagram) {
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    pcap_->Write(now, outgoing ? us : router, outgoing ? router : us, datagram);
    file_.flush();
}

}  // namespace host
