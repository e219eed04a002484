#include "cli/NodesCommand.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/Commands.h"
#include "framework/QuoteText.h"
#include "sim/Network.h"

namespace host {
namespace {

namespace fs = std::filesystem;

void PrintTable(const std::vector<NetworkNode>& network, std::ostream& out) {
    std::size_t nameWidth = 4;
    for (const NetworkNode& node : network) {
        nameWidth = std::max(nameWidth, platform::PrintableText(node.name).size());
    }
    constexpr std::size_t kIdWidth = 23;
    const auto padded = [](std::string text, std::size_t width) {
        text.resize(std::max(text.size(), width), ' ');
        return text;
    };
    out << padded("Node", nameWidth) << "  " << padded("Program ID", kIdWidth) << "  State file\n";
    for (const NetworkNode& node : network) {
        if (node.problem.empty()) {
            out << padded(platform::PrintableText(node.name), nameWidth) << "  "
                << padded(node.programId, kIdWidth) << "  " << node.stateFile << '\n';
        } else {
            out << padded("?", nameWidth) << "  " << padded("?", kIdWidth) << "  " << node.stateFile
                << "  (" << node.problem << ")\n";
        }
    }
}

}  // namespace

int RunNodesCommand(const std::string& folder, bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(folder, error);
    if (!error.empty()) {
        err << "vireo nodes: " << error << '\n';
        return 1;
    }
    const bool broken = std::any_of(network.begin(), network.end(),
                                    [](const NetworkNode& node) { return !node.problem.empty(); });
    if (json) {
        nlohmann::json doc = {{"network", folder}, {"nodes", nlohmann::json::array()}};
        for (const NetworkNode& node : network) {
            nlohmann::json entry = {{"stateFile", node.stateFile}};
            if (node.problem.empty()) {
                entry["name"] = node.name;
                entry["programId"] = node.programId;
            } else {
                entry["problem"] = node.problem;
            }
            doc["nodes"].push_back(entry);
        }
        out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else if (network.empty()) {
        out << "The network " << folder << " has no nodes; make one with 'vireo node new --network "
            << folder << " --name NAME'\n";
    } else {
        PrintTable(network, out);
    }
    return broken ? 1 : 0;
}

int RunNewNetworkNodeCommand(const std::string& folder, const std::string& name, std::ostream& out,
                             std::ostream& err) {
    if (const std::string problem = NameProblem(name); !problem.empty()) {
        err << "vireo node new: " << problem << '\n';
        return 1;
    }
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(folder, error);
    if (!error.empty()) {
        err << "vireo node new: " << error << '\n';
        return 1;
    }
    for (const NetworkNode& node : network) {
        if (node.problem.empty() && node.name == name) {
            err << "vireo node new: the network " << folder << " has a node named " << name
                << " already (" << node.stateFile << ")\n";
            return 1;
        }
    }
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        err << "vireo node new: cannot make the network folder " << folder << ": " << code.message()
            << '\n';
        return 1;
    }
    return RunNewNodeCommand((fs::path(folder) / (name + ".json")).string(), name, out, err);
}

}  // namespace host
