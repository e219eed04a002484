#pragma once
// The command line's side of the LON/IP link: the options that name a real node (read into the
// link's settings with one line for what is wrong), and `vireo node serve`, which puts a
// simulated node on a channel at 127.0.0.1 with the faults a test asks for.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkSettings.h"
#include "link/NodeServer.h"

namespace host {

// The link options as typed.
struct LinkOptions {
    std::string link;      // lonip://ROUTER[:PORT]
    std::string site;      // a site's name: its node of --node, or its nodes of --nodes / --all
    std::string address;   // SUBNET/NODE
    std::string neuronId;  // twelve hex digits
    std::string source = "1/126";
    std::string domain;
    std::string capture;
    std::string name;
    std::string keyFile;  // the channel's MD5 secret
    int localPort = 0;
    int retries = 3;
    int transmitTimer = 10;  // code 0-15: 16 ms to 3072 ms

    bool Given() const { return !link.empty(); }
    bool SiteGiven() const { return !site.empty(); }
};

// The settings, or the line that says which option is wrong. Discovery names no node.
enum class NodeNamed { Required, None };
std::optional<std::string> ReadLinkOptions(const LinkOptions& options, LinkSettings& settings,
                                           NodeNamed node = NodeNamed::Required);

// `vireo discover`: listens on the router's channel for waitSeconds and lists each node heard,
// marking the ones a registered plug-in serves. 0 when the router could be reached.
int RunDiscoverCommand(const LinkOptions& options, int waitSeconds, std::ostream& out,
                       std::ostream& err);

struct ServeOptions {
    std::string nodeFile;  // the node's state file; empty: the default one
    std::string host = "127.0.0.1";
    int port = 1628;
    std::string address = "1/5";
    std::string neuronId;  // empty: the served node's own
    std::string domain;
    bool unconfigured = false;  // answers a query ID of the unconfigured nodes
    bool paced = false;         // answers at the FT-10 channel's pace
    std::string keyFile;        // the channel's MD5 secret: an authenticated channel
    ServedFaults faults;
};

// Serves the node until an interrupt or a terminate signal; 0 once stopped, 1 when the node or
// the port could not be had.
int RunServeCommand(const ServeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
