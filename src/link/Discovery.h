#pragma once
// Finding the nodes behind a LON/IP router: a query ID broadcast to the unconfigured nodes of the
// domain; respond to query broadcast to select every node, a query ID of the selected nodes that
// each configured node answers too, and the selection ended again; and the service pin messages
// of the nodes whose pin a technician presses, heard until the listening time is over. Each node
// is told once, as soon as it is heard, with the Neuron ID, Program ID and subnet/node its packet
// carried.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkSettings.h"
#include "link/SharedChannel.h"
#include "lon/NetworkManagement.h"

namespace host {

struct FoundNode {
    lon::NodeIdentity identity;
    lon::SubnetNode address;
    bool servicePin = false;  // heard by its service pin message, else by the query
};

using HeardNode = std::function<void(const FoundNode&)>;

// Listens for listen milliseconds; heard sees each node as it is found. The nodes found, or the
// line that says why the router could not be reached.
std::optional<std::string> DiscoverNodes(const LinkSettings& settings, lon::Millis listen,
                                         const HeardNode& heard, std::vector<FoundNode>& found);
// The same over an open channel shared with the nodes' transactions: it hears what no node's
// port takes.
std::optional<std::string> DiscoverNodes(SharedChannel& channel, lon::Millis listen,
                                         const HeardNode& heard, std::vector<FoundNode>& found);

}  // namespace host
