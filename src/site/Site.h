#pragma once
// A site: the LON/IP routers of a building, each in front of one twisted-pair channel, our own
// subnet/node and domain on them, and the nodes found behind them. It is kept as a JSON file of
// its own, $XDG_CONFIG_HOME/vireo/sites/NAME.json, that a technician writes once (`vireo site
// new`) and discovery fills; every command that names a node of the site reads how to reach it
// from there. The file never holds a channel's secret (see SiteSecret.h).
//
// A site file is saved as the other files are: under a lock beside it, replaced atomically, its
// mode kept. A file that cannot be read is refused with its line and the reason, and stays as
// it was.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkSettings.h"
#include "lon/NetworkManagement.h"

namespace host {

// One router of the site and the channel behind it.
struct SiteLink {
    int channel = 1;    // 1, 2, ... in the order the links were given; nodes name it
    std::string url;    // lonip://ROUTER[:PORT]
    int localPort = 0;  // our UDP port, as the router's configuration lists us; 0: any free one
    bool authenticated = false;  // the channel's MD5 secret is kept apart, by the site's name
    int retries = 3;             // tries after the first
    int transmitTimer = 10;      // the wait for an answer, code 0-15 (10: 512 ms)

    bool operator==(const SiteLink&) const = default;
};

struct SiteNode {
    std::string name;
    lon::NeuronId neuronId{};
    lon::SubnetNode address;
    int channel = 1;
    std::string programId;  // as the node told it, "90 56 69 72 65 6F 4B 2A"
    std::string lastSeen;   // when discovery last heard it, "2026-12-08T09:30:00Z"; "" never

    bool operator==(const SiteNode&) const = default;
};

// A member of the site's IP channel and how the last configuration went with it.
struct SiteMember {
    std::string endpoint;  // "HOST:PORT"
    std::string role;      // "router" or "this PC"
    std::string state;     // "acknowledged", "sent", "failed: REASON"; "" not configured yet

    bool operator==(const SiteMember&) const = default;
};

// The site's IP channel where this PC is its configuration server (`vireo site configure`):
// where it configures from, the channel timeout it sets, and each member's state.
struct SiteChannelConfiguration {
    std::string address;         // this PC's address as the routers see it
    int serverPort = 0;          // the UDP port this PC configures from, the same every time
    int channelTimeout = 1000;   // ms a data packet may take before it is stale; 0: never
    std::string configured;      // when it was last configured, "2026-12-08T09:30:00Z"
    std::uint32_t dateTime = 0;  // the last configuration date-time sent (seconds since 1900)
    std::vector<SiteMember> members;

    bool operator==(const SiteChannelConfiguration&) const = default;
};

struct Site {
    std::string name;
    std::vector<SiteLink> links;
    lon::SubnetNode source{1, 126};
    lon::Domain domain;
    std::vector<SiteNode> nodes;
    bool timeSynced = false;   // this PC's clock follows a time server
    std::string configServer;  // "HOST:PORT" of the channel's configuration server, if another
    std::optional<SiteChannelConfiguration> configuration;  // this PC configures the channel

    bool operator==(const Site&) const = default;
};

// $XDG_CONFIG_HOME/vireo/sites, or ~/.config/vireo/sites.
std::string SitesFolder();
// The site file of a site by its name, in SitesFolder().
std::string SitePath(const std::string& name);
// Why a text cannot name a site (its file's name); empty when it can.
std::string SiteNameProblem(const std::string& name);

// Reads the site file. "" or "PATH:LINE: reason"; site is left as it was on failure.
std::string LoadSite(const std::string& path, Site& site);
// The site by its name from SitesFolder(); "" or the reason.
std::string LoadNamedSite(const std::string& name, Site& site);
// The site file's text.
std::string SiteText(const Site& site);
// Writes a new site file, never over an existing one. "" or the reason.
std::string CreateSite(const std::string& path, const Site& site);
// Loads the site under its lock, lets change edit it and saves it, so that two discoveries
// saving at once both keep what they found. "" or the reason; the file stays as it was when
// it cannot be read or written.
std::string UpdateSite(const std::string& path, const std::function<void(Site&)>& change);

// The names of the sites in SitesFolder(), sorted; a folder that does not exist has none.
std::vector<std::string> ListSites(std::string& error);

const SiteLink* FindLink(const Site& site, int channel);
const SiteNode* FindSiteNode(const Site& site, const std::string& name);
SiteNode* FindSiteNode(Site& site, const std::string& name);
SiteNode* FindByNeuronId(Site& site, const lon::NeuronId& id);
const SiteNode* FindByNeuronId(const Site& site, const lon::NeuronId& id);
// Why the site has no node of that name ("" when it has), with how to list its nodes.
std::string MissingSiteNode(const Site& site, const std::string& name);
// The node of the site at that address of that channel, if any.
const SiteNode* FindByAddress(const Site& site, int channel, const lon::SubnetNode& address);

// How to reach the router of a channel: its address and port, our subnet/node, domain and
// local port. The node and the secret are left for the caller.
// secret: the site's channels' MD5 secret, taken where the link is authenticated.
std::optional<std::string> ChannelSettings(const Site& site, const SiteLink& link,
                                           const lon::Bytes& secret, LinkSettings& settings);
// How to reach one node of the site: its channel's settings, the node by its subnet/node and
// its name.
std::optional<std::string> NodeSettings(const Site& site, const SiteNode& node,
                                        const lon::Bytes& secret, LinkSettings& settings);

// "2026-12-08T09:30:00Z" for now.
std::string UtcNow();

}  // namespace host
