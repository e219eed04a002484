#pragma once
// The simulated node's state file: a human-readable JSON document with the node's name, its
// Program ID and the bytes of every variable and configuration part, checked on load and saved
// atomically.

#include <string>

#include "host/SimNode.h"

namespace host {

// $XDG_STATE_HOME/vireo/node.json, or ~/.local/state/vireo/node.json.
std::string DefaultNodeStatePath();

// Loads the state into node. On failure returns a message naming the file and the bad field,
// and leaves node as it was.
std::string LoadNodeState(const std::string& path, SimNode& node);

// Writes the state to a temporary file beside path and renames it over path. Returns an error
// message, or an empty text on success.
std::string SaveNodeState(const std::string& path, const SimNode& node);

}  // namespace host
