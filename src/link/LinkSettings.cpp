#include "link/LinkSettings.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>

#include "codecs/HexBytes.h"
#include "framework/SafeFile.h"
#include "lon/Ft10.h"
#include "lon/Ip852Config.h"
#include "node/NodeVariableMap.h"

namespace host {
namespace {

// A whole decimal number within [low, high].
std::optional<int> Number(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

lon::Channel::Options ChannelOptions(const LinkSettings& settings) {
    lon::Channel::Options options;
    options.secret = settings.secret;
    options.session = lon::NewSessionId();
    options.timeSynced = settings.timeSynced;
    return options;
}

std::optional<std::string> ParseEndpoint(const std::string& text, lon::Endpoint& endpoint) {
    const std::size_t colon = text.rfind(':');
    const std::optional<int> port =
        colon == std::string::npos ? std::nullopt
                                   : Number(std::string_view(text).substr(colon + 1), 1, 65535);
    if (colon == 0 || !port) {
        return "'" + text + "' is not HOST:PORT (a port from 1 to 65535)";
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const std::string host = text.substr(0, colon);
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return "'" + text + "': " + host + " is no IPv4 address or known host";
    }
    endpoint.address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    endpoint.port = static_cast<std::uint16_t>(*port);
    ::freeaddrinfo(found);
    return std::nullopt;
}

std::string EndpointText(const lon::Endpoint& endpoint) {
    return lon::Ip852EndpointText(endpoint);
}

std::optional<std::string> ParseLinkUrl(const std::string& text, LinkSettings& settings) {
    constexpr std::string_view kScheme = "lonip://";
    const std::string_view url(text);
    if (!url.starts_with(kScheme) || url.size() == kScheme.size()) {
        return "link '" + text + "' is not lonip://ROUTER[:PORT]";
    }
    std::string_view rest = url.substr(kScheme.size());
    if (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1);
    }
    const std::size_t colon = rest.rfind(':');
    std::uint16_t port = lon::kIp852Port;
    if (colon != std::string_view::npos) {
        const std::optional<int> number = Number(rest.substr(colon + 1), 1, 65535);
        if (!number) {
            return "link '" + text + "': the port is not a number from 1 to 65535";
        }
        port = static_cast<std::uint16_t>(*number);
        rest = rest.substr(0, colon);
    }
    if (rest.empty() || rest.find_first_of("/@ ") != std::string_view::npos) {
        return "link '" + text + "' names no router";
    }
    settings.router = std::string(rest);
    settings.port = port;
    return std::nullopt;
}

std::optional<std::string> ParseSubnetNode(const std::string& text, lon::SubnetNode& address) {
    const std::size_t slash = text.find('/');
    const std::optional<int> subnet = slash == std::string::npos
                                          ? std::nullopt
                                          : Number(std::string_view(text).substr(0, slash), 1, 255);
    const std::optional<int> node = slash == std::string::npos
                                        ? std::nullopt
                                        : Number(std::string_view(text).substr(slash + 1), 1, 127);
    if (!subnet || !node) {
        return "address '" + text + "' is not SUBNET/NODE (subnet 1 to 255, node 1 to 127)";
    }
    address = {static_cast<std::uint8_t>(*subnet), static_cast<std::uint8_t>(*node)};
    return std::nullopt;
}

std::optional<std::string> ParseNeuronId(const std::string& text, lon::NeuronId& id) {
    std::vector<std::uint8_t> bytes;
    if (!codecs::ParseHexBytes(text, bytes, " :-") || bytes.size() != id.size()) {
        return "Neuron ID '" + text + "' is not six bytes in hexadecimal";
    }
    std::copy(bytes.begin(), bytes.end(), id.begin());
    return std::nullopt;
}

std::optional<std::string> ParseDomain(const std::string& text, lon::Domain& domain) {
    std::vector<std::uint8_t> bytes;
    if (text != "-" &&
        (!codecs::ParseHexBytes(text, bytes, " :-") || !lon::IsDomainLength(bytes.size()))) {
        return "domain '" + text + "' is not 0, 1, 3 or 6 bytes in hexadecimal";
    }
    domain = {};
    domain.length = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), domain.id.begin());
    return std::nullopt;
}

std::optional<std::string> ReadSecretFile(const std::string& path, platform::SecretBytes& secret,
                                          const std::string& what) {
    const std::string name = what + " " + path;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return name + ": " + platform::ErrnoText(errno);
    }
    // Sixteen bytes in hexadecimal and a few blanks; the text is wiped once read.
    std::array<char, 4096> text{};
    std::size_t length = 0;
    std::optional<std::string> problem;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = name + ": " + platform::ErrnoText(errno);
    } else if (!S_ISREG(info.st_mode)) {
        problem = name + ": " +
                  (S_ISDIR(info.st_mode) ? platform::ErrnoText(EISDIR) : "not a regular file");
    } else if ((info.st_mode & 077) != 0) {
        problem = name +
                  " may be read by others (chmod 600 it, and change the channel's secret if it "
                  "was shared)";
    }
    while (!problem && length < text.size()) {
        const ssize_t n = ::read(fd, text.data() + length, text.size() - length);
        if (n == 0) {
            break;
        }
        if (n < 0 && errno != EINTR) {
            problem = name + ": " + platform::ErrnoText(errno);
        }
        length += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ::close(fd);
    std::string_view hex(text.data(), length);
    while (!hex.empty() && codecs::kHexBlanks.find(hex.back()) != std::string_view::npos) {
        hex.remove_suffix(1);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());  // never moved while parsed: no copy is freed unwiped
    if (!problem && (!codecs::ParseHexBytes(hex, bytes) || bytes.size() != lon::kIp852DigestSize)) {
        problem = name + " does not hold 16 bytes in hexadecimal";
    }
    if (!problem) {
        secret.Assign(bytes);
    }
    bytes.resize(bytes.capacity());  // what a failed parse cleared is still in the block
    platform::WipeMemory(bytes.data(), bytes.size());
    platform::WipeMemory(text.data(), text.size());
    return problem;
}

std::string NeuronIdText(const lon::NeuronId& id) {
    return codecs::HexBytes(id.data(), id.size());
}

std::string SubnetNodeText(const lon::SubnetNode& address) {
    return std::to_string(address.subnet) + "/" + std::to_string(address.node);
}

std::string DomainText(const lon::Domain& domain) {
    return domain.length == 0 ? "-" : codecs::HexBytes(domain.id.data(), domain.length);
}

int NodesAtOnceOnChannel(const LinkSettings& settings) {
    const double timer =
        static_cast<double>(lon::TransmitTimer(settings.retry.transmitTimerCode).count()) / 1000;
    const double partRead =
        lon::Ft10TransactionSeconds(false, nv::kPartSize, settings.domain.length);
    return std::max(1, static_cast<int>(timer / partRead));
}

std::string TargetText(const lon::Target& target) {
    if (target.byNeuronId) {
        return "Neuron ID " + NeuronIdText(target.neuronId);
    }
    return SubnetNodeText(target.node);
}

std::string LinkUrl(const LinkSettings& settings) {
    return "lonip://" + settings.router + ":" + std::to_string(settings.port);
}

std::string NodeAtRouterText(const LinkSettings& settings) {
    return TargetText(settings.node) + " at " + LinkUrl(settings);
}

std::string WireName(const LinkSettings& settings) {
    const lon::Target& node = settings.node;
    return settings.router + ":" + std::to_string(settings.port) + " " +
           DomainText(settings.domain) + " " +
           (node.byNeuronId ? NeuronIdText(node.neuronId) : SubnetNodeText(node.node));
}

}  // namespace host
