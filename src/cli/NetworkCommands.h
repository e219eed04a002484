#pragma once
// The settings-file operations on many nodes of a simulated network at once: `vireo export
// --out DIR`, `vireo download FILE` and `vireo defaults`, each with `--nodes A,B,...` or `--all`.
// Every node runs the very operation a single node runs, on a thread of its own with its own
// pauses, up to --jobs nodes at a time (by default as many as keep each channel busy without
// crowding it, within the process's open-file limit); all of them share the network's channel,
// or a site's nodes their router's. A node that
// fails fails alone. The command ends with one row a node (result, write and read errors,
// seconds) and the channel's load, as a table or as JSON, and exits 0 only when every node
// completed.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "access/ManyNodes.h"
#include "cli/Commands.h"
#include "sim/Channel.h"

namespace host {

inline constexpr ChannelUse kExportChannelUse{44, 9};
inline constexpr ChannelUse kDownloadChannelUse{55, 15};
inline constexpr ChannelUse kDefaultsChannelUse{44, 35.25};

struct NetworkOptions {
    std::string network;             // the network's folder
    std::string site;                // a site's name instead: its real nodes over their channels
    std::vector<std::string> names;  // the nodes, by name; empty: every node of the network
    int jobs = 0;                    // nodes at once in all; 0 or less: see PlanJobs
    double channelRate = kTwistedPairTransactionsPerSecond;
    bool json = false;   // the summary as JSON
    std::string outDir;  // the export's folder: one settings file a node, NAME.txt
    // The settings file to download, the password, --yes, --force, the progress style and
    // the pauses (tests record them); nodeFile is not used.
    CommandOptions command;
    // The channel's time (tests give one that never waits).
    Channel::Clock channelClock = Channel::SteadyClock();
    // Asked before each node starts: true once the user asked to stop (Ctrl-C); the nodes
    // not started by then are reported as not run.
    std::function<bool()> stopRequested;
    // Called with each node once it is loaded, before it runs (tests make chosen calls fail).
    std::function<void(SimNode&)> nodeLoaded;
    // false: each node's state stays in memory once loaded, and its state file is not written
    // (benchmarks measure the command apart from the simulated nodes' files).
    bool keepStateFiles = true;
};

int RunNetworkExport(NetworkOptions options, std::ostream& out, std::ostream& err);
int RunNetworkDownload(NetworkOptions options, std::ostream& out, std::ostream& err);
int RunNetworkDefaults(NetworkOptions options, std::ostream& out, std::ostream& err);

// `vireo nodes`: name, Program ID and state file of every node, as a table or JSON. Status 0,
// or 1 when the folder or a state file cannot be read (the others are still listed).
int RunNodesCommand(const std::string& folder, bool json, std::ostream& out, std::ostream& err);

// `vireo node new --network`: a new node named name in the network, as NAME.json. A name that
// a node of the network already has is refused.
int RunNewNetworkNodeCommand(const std::string& folder, const std::string& name, std::ostream& out,
                             std::ostream& err);

// Installs the handler of Ctrl-C for a command on many nodes: the first asks the nodes not yet
// started to stay so (the running ones finish, since a part written half would be worse), the
// second stops at once. The answer tells whether the first came.
std::function<bool()> StopOnInterrupt();

}  // namespace host
