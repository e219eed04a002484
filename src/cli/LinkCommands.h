#pragma once
// The command line's side of the LON/IP link: the options that name a real node (read into the
// link's settings with one line for what is wrong), `vireo node serve`, which puts a simulated
// node on a channel at 127.0.0.1 with the faults a test asks for, and `vireo site serve`, which
// puts a whole simulated network there, on one or more channels.

#include <deque>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkSettings.h"
#include "serve/NodeServer.h"
#include "serve/SitePlan.h"
#include "sim/NodeStateFile.h"

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
    bool force = false;  // an existing capture file is replaced
    std::string name;
    std::string keyFile;  // the channel's MD5 secret
    int localPort = 0;
    int retries = 3;
    int transmitTimer = 10;   // code 0-15: 16 ms to 3072 ms
    bool timeSynced = false;  // this PC's clock follows a time server

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

// How a served router takes its members: strict, as a real one, unless open.
struct ServedRouting {
    bool open = false;                 // forwards for everyone
    std::vector<std::string> members;  // HOST:PORT, each a member of the channel
    bool timeSynced = false;           // its clock follows a time server

    // The rules, or the line that says which --member is wrong.
    std::optional<std::string> Read(RouterRules& rules) const;
    // What the router says on start about whom it forwards for.
    std::string Describe() const;
};

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
    ServedRouting routing;
};

// Serves the node until an interrupt or a terminate signal; 0 once stopped, 1 when the node or
// the port could not be had.
int RunServeCommand(const ServeOptions& options, std::ostream& out, std::ostream& err);

struct SiteServeOptions {
    std::string folder;  // the simulated network's folder
    int channels = 1;
    int port = 1628;  // channel k on port + k - 1; 0: any free ports
    bool paced = true;
    std::vector<std::string> late;    // NAME=MS: that node answers this late
    std::vector<int> silentChannels;  // channels whose router answers nothing
    std::string keyFile;              // the channels' MD5 secret: authenticated channels
    ServedRouting routing;
};

// A node of a served site: its simulated node kept in its state file.
struct ServedSiteNode {
    std::string name;
    std::string stateFile;
    SimNode node;
    std::unique_ptr<StateFileStore> store;
};

// Every readable node of a simulated network's folder served on 127.0.0.1, spread over the
// channels as link/SitePlan.h places them, each channel by a thread of its own; a node that
// cannot be read is reported and left out.
class ServedSite {
public:
    // 0 once serving; else the status of RunSiteServeCommand, with the line on err.
    int Start(const SiteServeOptions& options, std::ostream& err);
    // A line a channel (its link and how many nodes) and the table of nodes.
    void Print(std::ostream& out) const;
    void PressServicePins();
    // Whether every node's writes were saved.
    bool Stop();

    const std::vector<SitePlace>& Places() const { return places_; }
    const std::deque<ServedSiteNode>& Nodes() const { return nodes_; }
    // Channel k, from 0.
    const ServingThread& Channel(std::size_t k) const { return *channels_[k]; }
    std::uint64_t Dropped() const;
    std::uint64_t NonMembers() const;

private:
    std::deque<ServedSiteNode> nodes_;
    std::vector<SitePlace> places_;
    std::vector<std::unique_ptr<ServingThread>> channels_;
    std::vector<std::size_t> sizes_;
};

// `vireo site serve`: every node of the folder on 127.0.0.1, spread over the channels as
// link/SitePlan.h places them. Prints a line a channel and the table of nodes, then serves until
// an interrupt or a terminate signal (SIGUSR1: every node sends its service pin message). 0
// once stopped, 1 when no node or a port could not be had, 2 for wrong options.
int RunSiteServeCommand(const SiteServeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
