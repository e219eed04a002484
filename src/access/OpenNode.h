#pragma once
// Opening a node for a front end, one way for all of them: the simulated node of a state file,
// or a node over a LON/IP channel, each with the operation lock every program of this PC takes
// for that node, and the names the write history keeps it under.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "access/NodeTarget.h"
#include "link/LonNode.h"
#include "sim/OperationLock.h"
#include "sim/SimNode.h"

namespace host {

class SharedChannel;

// What becomes of a simulated node whose state file is not there.
enum class MissingStateFile {
    Refuse,   // fails, saying how to make one
    Factory,  // the factory node, in memory
    Create,   // the factory node, saved to the file at once
    Read,     // read all the same: the read says why it fails
};

// Loads the node of a state file; "" or the line naming the file and what is wrong.
std::string LoadStateFile(const std::string& path, SimNode& node, MissingStateFile missing);

// Makes the state file of a new node, never over an existing one (existed then says so): "" or
// the line naming the file and what is wrong.
std::string CreateStateFile(const std::string& path, const SimNode& node, bool& existed);

// Opens a node over a link and checks that this plug-in serves its Program ID; the reason, or
// nothing.
std::optional<std::string> OpenLinkedNode(LonNode& node);

// How the node's operation lock is taken while it opens, and after.
enum class LockHold {
    None,          // no lock (a look at the node that uses no part window)
    Made,          // made, not taken: the plug-in takes it for each operation
    WhileOpening,  // taken while the node opens, then let go for the plug-in to take again
    Kept,          // taken, and kept until the node is closed
};

struct OpenOptions {
    LockHold hold = LockHold::Made;
    OperationLock::Waiting waiting;
    // Simulated nodes.
    MissingStateFile missing = MissingStateFile::Refuse;
    // Linked nodes.
    bool checkProgramId = true;       // refuse a node no registered plug-in serves
    SharedChannel* router = nullptr;  // the channel many nodes share; null: one of its own
    std::string name;                 // names the node (and its lock); empty: as the link says
};

// The node a front end works on: the node itself, its lock, and its names.
class OpenedNode {
public:
    NodeAccess& Access() { return simulated_ ? static_cast<NodeAccess&>(*simulated_) : *linked_; }
    SimNode* Simulated() { return simulated_.get(); }
    LonNode* Linked() { return linked_.get(); }
    OperationLock* Lock() { return lock_.get(); }
    // The write history's names: what tells the node from any other, and its name.
    const std::string& Identity() const { return identity_; }
    const std::string& Name() const { return name_; }
    // A simulated node's state file.
    const std::string& StateFile() const { return stateFile_; }

private:
    friend std::optional<std::string> OpenNode(const NodeTarget&, const OpenOptions&, OpenedNode&);
    // The lock outlives the node: the node is closed before another process may take it.
    std::unique_ptr<OperationLock> lock_;
    std::unique_ptr<SimNode> simulated_;
    std::unique_ptr<LonNode> linked_;
    std::string identity_;
    std::string name_;
    std::string stateFile_;
};

// Opens the target's node (a simulated or a linked one; a site's node is opened by its link).
// The line that says why it did not open, or nothing.
std::optional<std::string> OpenNode(const NodeTarget& target, const OpenOptions& options,
                                    OpenedNode& opened);

}  // namespace host
