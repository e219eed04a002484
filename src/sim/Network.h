#pragma once
// A simulated network: a folder of node state files, one a node, each node known by the name
// its state file holds. The commands list it, add nodes to it and pick their nodes from it.

#include <string>
#include <vector>

#include "node/NodeName.h"

namespace host {

// $XDG_STATE_HOME/vireo/nodes, or ~/.local/state/vireo/nodes.
std::string DefaultNetworkPath();

struct NetworkNode {
    std::string stateFile;
    std::string name;       // empty when the state file cannot be read
    std::string programId;  // the Program ID as text; empty when the state file cannot be read
    std::string problem;    // why the state file cannot be read; empty when it can
};

// The nodes of the network: every *.json file in the folder, in the order of their file
// names. A folder that does not exist is a network without nodes; one that cannot be read
// gives nothing and the reason in error.
std::vector<NetworkNode> ListNetwork(const std::string& folder, std::string& error);

// "a, b, c".
std::string Joined(const std::vector<std::string>& texts);

// The nodes of the network with the given names, in the order given. Empty, with the reason in
// error, when a name is no node's, is given twice, or is the name of more than one node.
std::vector<NetworkNode> SelectNodes(const std::vector<NetworkNode>& network,
                                     const std::vector<std::string>& names,
                                     const std::string& folder, std::string& error);

}  // namespace host
