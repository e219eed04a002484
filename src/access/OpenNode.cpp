#include "access/OpenNode.h"

#include "sim/NodeStateFile.h"

namespace host {
namespace {

bool Takes(LockHold hold) {
    return hold == LockHold::WhileOpening || hold == LockHold::Kept;
}

std::optional<std::string> OpenSimulated(const NodeTarget& target, const OpenOptions& options,
                                         std::unique_ptr<SimNode>& node,
                                         std::unique_ptr<OperationLock>& lock) {
    const std::string& path = target.stateFile;
    node = std::make_unique<SimNode>();
    if (std::string problem = LoadStateFile(path, *node, options.missing); !problem.empty()) {
        return problem;
    }
    if (options.hold != LockHold::None) {
        lock = std::make_unique<OperationLock>(node->Name(), OperationLock::PathForStateFile(path),
                                               options.waiting);
        if (Takes(options.hold) && !lock->Acquire()) {
            return lock->Error();
        }
    }
    node->identity = StateFileIdentity(path);
    return std::nullopt;
}

std::optional<std::string> OpenLinked(const NodeTarget& target, const OpenOptions& options,
                                      std::unique_ptr<LonNode>& node,
                                      std::unique_ptr<OperationLock>& lock) {
    const LinkSettings& link = target.link;
    if (options.hold != LockHold::None) {
        // Taken before the node opens: opening selects it for its query ID.
        lock = std::make_unique<OperationLock>(
            options.name.empty() ? NodeAtRouterText(link) : options.name,
            OperationLock::PathForLinkedNode(WireName(link)), options.waiting);
        if (Takes(options.hold) && !lock->Acquire()) {
            return lock->Error();
        }
    }
    node = options.router != nullptr
               ? std::make_unique<LonNode>(*options.router, link.node, options.name)
               : std::make_unique<LonNode>(link);
    return options.checkProgramId ? OpenLinkedNode(*node) : node->Open();
}

}  // namespace

std::string LoadStateFile(const std::string& path, SimNode& node, MissingStateFile missing) {
    std::string error;
    if (StateFileExists(path, error)) {
        return LoadNodeState(path, node);
    }
    if (!error.empty()) {
        return error;
    }
    switch (missing) {
        case MissingStateFile::Refuse:
            return "node state file " + path + " does not exist; make one with 'vireo node new " +
                   path + "'";
        case MissingStateFile::Factory:
            return {};
        case MissingStateFile::Create:
            return SaveNodeState(path, node);
        case MissingStateFile::Read:
            break;
    }
    return LoadNodeState(path, node);
}

std::string CreateStateFile(const std::string& path, const SimNode& node, bool& existed) {
    std::string error;
    existed = StateFileExists(path, error);
    if (!existed && error.empty()) {
        error = CreateNodeState(path, node, existed);
    }
    return error;
}

std::optional<std::string> OpenLinkedNode(LonNode& node) {
    if (std::optional<std::string> problem = node.Open()) {
        return problem;
    }
    const lon::ProgramId& id = node.Identity().programId;
    if (id != ControllerProgramId()) {
        return "node " + node.Name() + " has Program ID " + ProgramIdText(id) +
               "; no registered plug-in serves it";
    }
    return std::nullopt;
}

std::optional<std::string> OpenNode(const NodeTarget& target, const OpenOptions& options,
                                    OpenedNode& opened) {
    opened = OpenedNode();
    std::optional<std::string> problem =
        target.kind == NodeTarget::Kind::Simulated
            ? OpenSimulated(target, options, opened.simulated_, opened.lock_)
        : target.kind == NodeTarget::Kind::Linked
            ? OpenLinked(target, options, opened.linked_, opened.lock_)
            : std::optional<std::string>("a node of a site opens by its link: " +
                                         NodeTargetText(target));
    if (problem) {
        return problem;
    }
    if (options.hold == LockHold::WhileOpening) {
        opened.lock_->Release();
    }
    NodeAccess& access = opened.Access();
    access.operationLock = opened.lock_.get();
    opened.identity_ = access.identity;
    if (opened.simulated_) {
        opened.name_ = opened.simulated_->Name();
        opened.stateFile_ = target.stateFile;
    } else {
        opened.name_ = opened.linked_->Name();
    }
    return std::nullopt;
}

}  // namespace host
