#include "link/CaptureFile.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "framework/SafeFile.h"

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

CaptureFile::~CaptureFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<std::string> CaptureFile::Open(const CaptureTarget& target) {
    const std::string& path = target.path;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (target.replace ? O_TRUNC : O_EXCL);
    fd_ = ::open(path.c_str(), flags, 0600);
    if (fd_ < 0 && errno == EEXIST) {
        return "capture file " + path + " exists; --force replaces it";
    }
    // A file replaced keeps its owner but no longer its mode: its new contents are no one
    // else's business.
    if (fd_ < 0 || ::fchmod(fd_, 0600) != 0) {
        return "capture file " + path + " cannot be written (" + platform::ErrnoText(errno) + ")";
    }
    pcap_ = std::make_unique<lon::PcapWriter>(pending_);
    Flush();
    return std::nullopt;
}

void CaptureFile::Flush() {
    const std::string bytes = pending_.str();
    pending_.str("");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;  // a capture is a help, never a reason for the link to fail
        }
        done += static_cast<std::size_t>(n);
    }
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
    Flush();
}

}  // namespace host
