#pragma once
// Discovery into a site: every channel of the site listened to at once, each node told as soon
// as its channel hears it, and what was heard kept in the site file: new nodes added (named by
// their Neuron ID until the technician renames them), and a known Neuron ID that moved
// to another address or channel taken there.

#include <functional>
#include <string>
#include <vector>

#include "link/Discovery.h"
#include "site/Site.h"

namespace host {

struct DiscoveredNode {
    int channel = 1;
    FoundNode found;
    bool known = false;  // the site has its Neuron ID already
    bool moved = false;  // known, at another address or channel than the site file says
    std::string name;    // a new node's name as its name NV tells it; empty where it has none
};

// The most new nodes one discovery keeps: their names are asked and they are saved. A flood of
// service pin messages (a faulty node, made-up packets) neither fills the site file nor keeps
// discovery asking names; a second discovery finds the nodes left out, once these are known.
inline constexpr int kMostNewNodes = 1000;
// How long discovery asks the new nodes their names, in all, once it stopped listening.
inline constexpr lon::Millis kNamingTime{10000};

struct DiscoveryLimits {
    int mostNew = kMostNewNodes;
    lon::Millis naming = kNamingTime;
};

struct SiteDiscovery {
    std::vector<DiscoveredNode> nodes;  // new ones first
    int leftOut = 0;                    // new nodes heard beyond the limit, not kept
};

// Listens on every channel of the site for listen milliseconds, each on a thread of its own;
// heard sees each node kept once, as it is heard (one call at a time). Then each channel asks
// its new nodes their names, as many at once as it carries, each once, until the naming time
// is over; a node that does not answer in time keeps its Neuron ID as its name. secret: the
// channels' MD5 secret, for those marked authenticated. A channel whose router cannot be
// reached adds its line to problems and the others go on.
SiteDiscovery DiscoverSite(const Site& site, const lon::Bytes& secret, lon::Millis listen,
                           const std::function<void(const DiscoveredNode&)>& heard,
                           std::vector<std::string>& problems, DiscoveryLimits limits = {});

// "3 more new nodes were heard and not kept: a discovery keeps at most 1000 new nodes; run it
// again for the others"; empty when none was left out.
std::string LeftOutText(const SiteDiscovery& discovery, const DiscoveryLimits& limits = {});

// The name a new node gets: the one its name NV told where it can name the node's files, else
// "node-" and its Neuron ID, made unique in the site.
std::string NameForNode(const Site& site, const DiscoveredNode& node);

// What saving found nodes did to the site.
struct SiteChanges {
    int added = 0;
    int moved = 0;
    int seen = 0;  // known ones, unchanged but for when they were last seen
};
// Adds the new nodes (named by NameForNode), takes moved ones to their new address and
// channel, and stamps every node heard with its Program ID and now.
SiteChanges MergeDiscovered(Site& site, const std::vector<DiscoveredNode>& found,
                            const std::string& now);

}  // namespace host
