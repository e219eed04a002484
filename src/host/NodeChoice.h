#pragma once
// What a row of the start window opens, named by one text that the recent lists keep:
// "sim:PATH" the simulated node of a state file, "SITE/NODE" a node of a site, and
// "lonip://ROUTER:PORT NODE" a node reached with --link, NODE its SUBNET/NODE or Neuron ID.
// The recent lists live in the user's settings (organization and application "Vireo"):
// "recent/nodes" the nodes of sites and simulated nodes, "recent/links" the --link targets.

#include <string>
#include <vector>

#include "link/LinkSettings.h"

namespace host {

std::string SimulatedKey(const std::string& path);
std::string SiteNodeKey(const std::string& site, const std::string& node);
std::string LinkKey(const LinkSettings& settings);

// Puts the key first in its recent list, which keeps the last ten.
void RememberNode(const std::string& key);
// Most recent first.
std::vector<std::string> RecentNodes();
std::vector<std::string> RecentLinks();

// "Site NAME, channel 2, node 2/3 at lonip://127.0.0.1:1629": the sheet's status line.
std::string SiteNodeNote(const std::string& site, int channel, const LinkSettings& settings);

// With the host's application and desktop in place: the sheet on the node the key names, until
// it closes; the node is remembered once it opened. "" or the line that says why it did not.
std::string OpenNodeByKey(const std::string& key, double speed);

}  // namespace host
