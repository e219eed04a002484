#pragma once
// What names one node a front end opens, as one text that the command line, the start window's
// recent lists and the session scripts share: "sim:PATH" the simulated node of a state file,
// "SITE/NODE" a node of a site, and "lonip://ROUTER[:PORT] NODE" a node reached over a LON/IP
// channel, NODE its SUBNET/NODE or Neuron ID.

#include <optional>
#include <string>

#include "link/LinkSettings.h"

namespace host {

struct NodeTarget {
    enum class Kind { Simulated, SiteNode, Linked };
    Kind kind = Kind::Simulated;
    std::string stateFile;  // Simulated: the state file
    std::string site;       // SiteNode: the site's name
    std::string node;       // SiteNode: the node's name in the site
    LinkSettings link;      // Linked: the router and the node behind it

    static NodeTarget Simulated(std::string stateFile);
    static NodeTarget OfSite(std::string site, std::string node);
    static NodeTarget Linked(LinkSettings link);
};

// The kind of target a text names, by its form alone.
NodeTarget::Kind NodeTargetKind(const std::string& text);
// The target a text names; the line that says what is wrong, or nothing.
std::optional<std::string> ParseNodeTarget(const std::string& text, NodeTarget& target);
// The text ParseNodeTarget reads back into the same target.
std::string NodeTargetText(const NodeTarget& target);

}  // namespace host
