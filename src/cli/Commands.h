#pragma once
// The settings-file operations from the command line: the very export, download and factory
// defaults that the Import / Export page runs, on the simulated node's state file.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "access/OpenNode.h"
#include "host/ConsoleDesktop.h"
#include "link/LinkSettings.h"
#include "node/NodeLink.h"

namespace host {

struct CommandOptions {
    std::string nodeFile;  // the node's state file; empty: the default one
    // A real node over a LON/IP channel instead of the simulated node.
    std::optional<LinkSettings> link;
    std::string file;      // the settings file
    std::string password;  // the service password
    // Asks for the password once the command's own checks have passed (a prompt comes only
    // when the command can run); false: none was given, and the command ends with status 2.
    std::function<bool(std::string&)> takePassword;
    bool yes = false;    // download even when the file's Program ID differs
    bool force = false;  // export over an existing file
    // A node another process is using fails at once instead of being waited for.
    bool noWait = false;
    ProgressStyle progress = ProgressStyle::Lines;
    // Replaces the real pauses (tests and benchmarks record them instead).
    std::function<void(int)> sleep;
};

class SimNode;
class LonNode;

// What one operation came to on one node.
struct NodeOutcome {
    bool completed = false;  // the operation ended without errors
    std::string line;        // its result line: the closing message, or why there was none
    int readErrors = 0;
    int writeErrors = 0;
};

// An export, a download or the factory defaults, as it runs on the link of one node with that
// node's desktop: the very operation the Import / Export page runs.
using NodeOperation = std::function<NodeOutcome(const NodeLink&, ConsoleDesktop&)>;
NodeOperation ExportTo(std::string file);
NodeOperation DownloadFrom(std::string file, std::string password);
NodeOperation RestoreDefaults(std::string password);

// Runs an operation on a simulated node opened with its lock made (LockHold::Made), which keeps
// its state file from then on; a node opened without its lock (LockHold::None) runs in memory
// (benchmarks measure without the file). The node is held for the whole operation, waiting as
// its lock's waiting says for another process that holds it; the write history records it
// under the node's names (its messages go to tell), the desktop is this thread's for the run,
// and a write that could not be saved fails the operation.
NodeOutcome RunOnNode(OpenedNode& opened, ConsoleDesktop& desktop, const NodeOperation& operation,
                      const std::function<void(const std::string&)>& tell);

// Runs an operation on a node over a link, opened already: the write history records it under
// the node's name and link address, and a failure the link saw is told in one line (which
// router, node, NV and after how many tries).
NodeOutcome RunOnLinkedNode(LonNode& node, ConsoleDesktop& desktop, const NodeOperation& operation,
                            const std::function<void(const std::string&)>& tell);

// The node a command's options name and how it opens: the node of link when there is one, else
// the simulated node of nodeFile, or of the default state file (the factory node until it is
// saved). An operation holds the node (a linked one from its opening on, a simulated one while
// RunOnNode runs); a look at it (a view, a comparison) takes no lock.
struct CommandNode {
    NodeTarget target;
    OpenOptions open;
};
CommandNode CommandNodeOf(const std::string& nodeFile, const std::optional<LinkSettings>& link,
                          bool operation);

// Opens the simulated node of a state file, or of the default one, to look at it: false once err
// says what is wrong.
bool OpenCommandNode(const std::string& nodeFile, OpenedNode& opened, std::ostream& err);

// Each checks what it can before the node's pauses start (the export's target, the settings
// file to download) and fails at once with one line naming the path and the reason. Then it
// prints progress and messages to err and one result line to out, and returns 0 only when the
// operation completed without errors. An export to "-" writes the settings file to out and the
// result line to err.
int RunExportCommand(const CommandOptions& options, std::ostream& out, std::ostream& err);
int RunDownloadCommand(CommandOptions options, std::ostream& out, std::ostream& err);
int RunDefaultsCommand(CommandOptions options, std::ostream& out, std::ostream& err);

// Makes a new simulated node: a state file with the factory configuration and the given name.
// An existing file is never overwritten.
int RunNewNodeCommand(const std::string& path, const std::string& name, std::ostream& out,
                      std::ostream& err);

}  // namespace host
