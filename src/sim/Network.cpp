#include "sim/Network.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace host {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NamesOf(const std::vector<NetworkNode>& network) {
    std::vector<std::string> names;
    for (const NetworkNode& node : network) {
        if (node.problem.empty()) {
            names.push_back(node.name);
        }
    }
    return names;
}

}  // namespace

std::string Joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& t : texts) {
        text += (text.empty() ? "" : ", ") + t;
    }
    return text;
}

std::string DefaultNetworkPath() {
    return (fs::path(DefaultNodeStatePath()).parent_path() / "nodes").string();
}

std::vector<NetworkNode> ListNetwork(const std::string& folder, std::string& error) {
    std::vector<NetworkNode> network;
    std::error_code code;
    if (!fs::exists(folder, code)) {
        if (code) {
            error = "network " + folder + ": " + code.message();
        }
        return network;
    }
    fs::directory_iterator it(folder, code);
    if (code) {
        error = "network " + folder + ": cannot be read (" + code.message() + ")";
        return network;
    }
    for (; it != fs::directory_iterator(); it.increment(code)) {
        const fs::path& path = it->path();
        if (path.extension() != ".json" || path.stem().empty()) {
            continue;
        }
        NetworkNode node;
        node.stateFile = path.string();
        SimNode state;
        node.problem = LoadNodeState(node.stateFile, state);
        if (node.problem.empty()) {
            node.name = state.Name();
            node.programId = ProgramIdText(state.GetProgramId());
        }
        network.push_back(std::move(node));
    }
    if (code) {
        error = "network " + folder + ": cannot be read (" + code.message() + ")";
        return {};
    }
    std::sort(network.begin(), network.end(),
              [](const NetworkNode& a, const NetworkNode& b) { return a.stateFile < b.stateFile; });
    return network;
}

std::vector<NetworkNode> SelectNodes(const std::vector<NetworkNode>& network,
                                     const std::vector<std::string>& names,
                                     const std::string& folder, std::string& error) {
    std::vector<NetworkNode> selected;
    std::vector<std::string> seen;
    for (const std::string& name : names) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            error = "the node " + name + " is named twice";
            return {};
        }
        seen.push_back(name);
        std::vector<const NetworkNode*> found;
        for (const NetworkNode& node : network) {
            if (node.problem.empty() && node.name == name) {
                found.push_back(&node);
            }
        }
        if (found.empty()) {
            const std::vector<std::string> known = NamesOf(network);
            error = "no node named " + name + " in the network " + folder +
                    (known.empty() ? std::string(" (it has no nodes)")
                                   : " (its nodes: " + Joined(known) + ")");
            return {};
        }
        if (found.size() > 1) {
            std::vector<std::string> files;
            for (const NetworkNode* node : found) {
                files.push_back(node->stateFile);
            }
            error = "more than one node is named " + name + ": " + Joined(files);
            return {};
        }
        selected.push_back(*found.front());
    }
    return selected;
}

}  // namespace host
