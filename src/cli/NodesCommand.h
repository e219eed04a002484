#pragma once
// The commands on the simulated network's folder: list its nodes, make a node in it.

#include <ostream>
#include <string>

namespace host {

// `vireo nodes`: name, Program ID and state file of every node, as a table or JSON. Status 0,
// or 1 when the folder or a state file cannot be read (the others are still listed).
int RunNodesCommand(const std::string& folder, bool json, std::ostream& out, std::ostream& err);

// `vireo node new --network`: a new node named name in the network, as NAME.json. A name that
// a node of the network already has is refused.
int RunNewNetworkNodeCommand(const std::string& folder, const std::string& name, std::ostream& out,
                             std::ostream& err);

}  // namespace host
