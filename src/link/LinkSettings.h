#pragma once
// How the host reaches one node over a LON/IP channel: the router (or a served node) by its
// address and UDP port, the node by subnet/node or Neuron ID, our own subnet/node and domain,
// the retries, and where to capture the packets. Texts from the command line and the site file
// are read here, each with the line that says what is wrong.

#include <cstdint>
#include <optional>
#include <string>

#include "framework/SecretBytes.h"
#include "lon/Channel.h"
#include "lon/Ip852.h"
#include "lon/Packet.h"
#include "lon/Transactions.h"

namespace host {

// Where a link's packets are captured: a pcap file, made readable by this user alone, as it
// holds a channel's authenticated traffic; an existing file is replaced only when asked.
struct CaptureTarget {
    std::string path;  // empty: no capture
    bool replace = false;

    bool empty() const { return path.empty(); }
};

struct LinkSettings {
    std::string router;  // IPv4 address or host name
    std::uint16_t port = lon::kIp852Port;
    lon::Target node;
    lon::SubnetNode source{1, 126};
    lon::Domain domain;
    lon::RetryPolicy retry;
    platform::SecretBytes secret;  // the channel's MD5 secret; empty: not authenticated
    CaptureTarget capture;         // a pcap file of every packet
    std::string name;              // the node's name as the host knows it; empty: its Neuron ID
    std::uint16_t localPort = 0;   // our UDP port; 0: any free one
    bool timeSynced = false;       // this PC's clock follows a time server: packets carry the time
    // The channel's configuration server, whose configuration we take while the link runs.
    std::optional<lon::Endpoint> configServer;
};

// The channel a node's link runs: its secret and whether our clock is synchronised.
lon::Channel::Options ChannelOptions(const LinkSettings& settings);

// "lonip://HOST[:PORT]" into router and port; the error line, or nothing.
std::optional<std::string> ParseLinkUrl(const std::string& text, LinkSettings& settings);
// "HOST:PORT" (an IPv4 address or a host name) as a channel member's address.
std::optional<std::string> ParseEndpoint(const std::string& text, lon::Endpoint& endpoint);
std::string EndpointText(const lon::Endpoint& endpoint);

// "SUBNET/NODE", subnet 1-255, node 1-127.
std::optional<std::string> ParseSubnetNode(const std::string& text, lon::SubnetNode& address);
// Twelve hexadecimal digits, blanks and colons between bytes allowed.
std::optional<std::string> ParseNeuronId(const std::string& text, lon::NeuronId& id);
// A domain ID of 0, 1, 3 or 6 bytes in hexadecimal; "" or "-" for the zero-length domain.
std::optional<std::string> ParseDomain(const std::string& text, lon::Domain& domain);

// The channel's MD5 secret from a file of its own (sixteen bytes in hexadecimal), so that it is
// never on a command line. A file that others may read is refused: its secret may be known.
// what: how messages name the file.
std::optional<std::string> ReadSecretFile(const std::string& path, platform::SecretBytes& secret,
                                          const std::string& what = "authentication key file");

// How many nodes of one channel may wait for it at once over this link: as many of an
// operation's longest host calls (a part's read) as an FT-10 channel carries one after the other
// within the transmit timer. Even when every one of them asks at the same moment, the last is
// answered before its try runs out; more nodes would wait past their tries, and their retries
// would crowd the channel further.
int NodesAtOnceOnChannel(const LinkSettings& settings);

// "1/5" or "Neuron ID 05 01 02 03 04 05", as messages name the node.
std::string TargetText(const lon::Target& target);
std::string NeuronIdText(const lon::NeuronId& id);
// "1/5"; "-" or the domain ID's bytes in hexadecimal, as ParseDomain reads them back.
std::string SubnetNodeText(const lon::SubnetNode& address);
std::string DomainText(const lon::Domain& domain);
// "lonip://127.0.0.1:1628".
std::string LinkUrl(const LinkSettings& settings);
// "1/5 at lonip://10.20.0.2:1628", as the operation lock of a linked node names it.
std::string NodeAtRouterText(const LinkSettings& settings);
// What names the node on the wire: its router, domain and subnet/node or Neuron ID, as the
// operation lock of a linked node is kept under ("127.0.0.1:1628 42 1/5").
std::string WireName(const LinkSettings& settings);

}  // namespace host
