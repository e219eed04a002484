#include "lon/UdpDatagram.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "lon/Ip852Config.h"

namespace lon {
namespace {

// The largest UDP payload over IPv4.
constexpr std::size_t kMaxDatagram = 65507;

[[noreturn]] void Fail(const std::string& what, int error) {
    throw std::system_error(error, std::generic_category(), what);
}

sockaddr_in Resolve(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (error != 0 || found == nullptr) {
        throw std::system_error(std::make_error_code(std::errc::host_unreachable),
                                host + ": " + ::gai_strerror(error));
    }
    sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    ::freeaddrinfo(found);
    address.sin_port = htons(port);
    return address;
}

sockaddr_in SocketAddress(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

Endpoint EndpointOf(const sockaddr_in& address) {
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

}  // namespace

std::uint32_t LocalAddressTowards(const Endpoint& member) {
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        Fail("socket", errno);
    }
    // Connecting a datagram socket sends nothing; it only picks the route.
    const sockaddr_in to = SocketAddress(member);
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (::connect(probe, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        const int error = errno;
        ::close(probe);
        Fail("no route to " + Ip852EndpointText(member), error);
    }
    ::close(probe);
    return ntohl(local.sin_addr.s_addr);
}

std::uint16_t FreeUdpPort(std::uint32_t address) {
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local = SocketAddress({address, 0});
    socklen_t size = sizeof local;
    if (probe < 0 || ::bind(probe, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        const int error = errno;
        if (probe >= 0) {
            ::close(probe);
        }
        Fail("bind", error);
    }
    ::close(probe);
    return ntohs(local.sin_port);
}

UdpDatagram::UdpDatagram(Clock& clock, const std::string& localHost, std::uint16_t localPort)
    : clock_(clock) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        Fail("socket", errno);
    }
    const sockaddr_in local = Resolve(localHost, localPort);
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(socket_);
        Fail("bind " + localHost + ":" + std::to_string(localPort), error);
    }
}

UdpDatagram::~UdpDatagram() {
    ::close(socket_);
}

void UdpDatagram::SetPeer(const std::string& host, std::uint16_t port) {
    peer_ = Resolve(host, port);
    // Connected, the socket hears when nothing listens on the peer's port (ECONNREFUSED), and
    // the kernel keeps other senders' datagrams out.
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&peer_), sizeof peer_) != 0) {
        Fail("connect " + host + ":" + std::to_string(port), errno);
    }
}

void UdpDatagram::SetPeer(const Endpoint& peer) {
    peer_ = SocketAddress(peer);
}

void UdpDatagram::AlsoAccept(const Endpoint& member) {
    alsoFrom_.push_back(member);
    sockaddr unconnect{};
    unconnect.sa_family = AF_UNSPEC;
    ::connect(socket_, &unconnect, sizeof unconnect);
}

bool UdpDatagram::SendTo(ByteView bytes, const Endpoint& to) {
    const sockaddr_in address = SocketAddress(to);
    const ssize_t sent = ::sendto(socket_, bytes.data(), bytes.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return sent == static_cast<ssize_t>(bytes.size());
}

bool UdpDatagram::Send(ByteView bytes) {
    const ssize_t sent = ::sendto(socket_, bytes.data(), bytes.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&peer_), sizeof peer_);
    return sent == static_cast<ssize_t>(bytes.size());
}

std::optional<Bytes> UdpDatagram::Receive(Millis deadline) {
    // One buffer for the socket's life: a datagram is copied out at its own size.
    if (buffer_.empty()) {
        buffer_.resize(kMaxDatagram);
    }
    for (;;) {
        const Millis left = deadline - clock_.Now();
        pollfd ready{socket_, POLLIN, 0};
        const int count = ::poll(&ready, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return std::nullopt;
        }
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = ::recvfrom(socket_, buffer_.data(), buffer_.size(), 0,
                                        reinterpret_cast<sockaddr*>(&from), &fromSize);
        // A refused port shows as an error on the next receive: nothing arrived.
        if (size < 0) {
            if (errno == ECONNREFUSED) {
                ++refused_;
                continue;
            }
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        const Endpoint source = EndpointOf(from);
        const bool fromPeer =
            from.sin_addr.s_addr == peer_.sin_addr.s_addr && from.sin_port == peer_.sin_port;
        if (!anyone_ && !fromPeer &&
            std::find(alsoFrom_.begin(), alsoFrom_.end(), source) == alsoFrom_.end()) {
            ++foreign_;
            continue;
        }
        lastSource_ = source;
        return Bytes(buffer_.begin(), buffer_.begin() + size);
    }
}

std::uint16_t UdpDatagram::LocalPort() const {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &size);
    return ntohs(local.sin_port);
}

}  // namespace lon
