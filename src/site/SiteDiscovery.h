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

// Listens on every channel of the site for listen milliseconds, each on a thread of its own;
// heard sees each node once, as it is heard (one call at a time); then asks each new node its
// name. secret: the channels' MD5
// secret, for those marked authenticated. The nodes heard, new ones first; a channel whose
// router cannot be reached adds its line to problems and the others go on.
std::vector<DiscoveredNode> DiscoverSite(const Site& site, const lon::Bytes& secret,
                                         lon::Millis listen,
                                         const std::function<void(const DiscoveredNode&)>& heard,
                                         std::vector<std::string>& problems);

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
