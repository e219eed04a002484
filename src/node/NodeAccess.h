#pragma once
// What the host reaches a node through: the simulated node in this process, or a node over a
// link. The client site serves the plug-in's reader and writer from it, and offers the operation
// lock and the node's identity when the node has them.

#include <cstdint>
#include <string>

#include "framework/Com.h"

namespace host {

class NodeLock;

class NodeAccess {
public:
    virtual ~NodeAccess() = default;

    // Host operations; 0 on success.
    virtual HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) = 0;
    virtual HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer,
                            std::int32_t length) = 0;
    virtual HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) = 0;
    // Why the last host call that failed did (the node over a link knows: "... nothing listens
    // on the router's port"); empty when the node knows no reason. A call answered
    // NODE_E_UNREACHABLE always has one.
    virtual std::string LastProblem() const { return {}; }

    // The node's operation lock while other programs may share the node: the client site then
    // offers it to the plug-in. Not owned.
    NodeLock* operationLock = nullptr;
    // What tells this node from every other of the same name (its state file's real path, or
    // its link address); offered to the plug-in when not empty.
    std::string identity;

protected:
    NodeAccess() = default;
    NodeAccess(const NodeAccess&) = default;
    NodeAccess& operator=(const NodeAccess&) = default;
};

}  // namespace host
