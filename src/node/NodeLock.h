#pragma once
// The operation lock of a node as the host offers it to the plug-in: the holder of a node's part
// window for one whole operation (a page's Read or Write, an export, a download). The host's
// lock file implements it; the node access only carries it.

#include <string>

namespace host {

class NodeLock {
public:
    virtual ~NodeLock() = default;

    // Holds the node; nested calls only count. False (and Error() says why) when the node stays
    // in use or cannot be held.
    virtual bool Acquire() = 0;
    // Ends one Acquire that succeeded; the last one frees the node.
    virtual void Release() = 0;
    virtual bool Held() const = 0;
    virtual const std::string& Error() const = 0;

protected:
    NodeLock() = default;
    NodeLock(const NodeLock&) = default;
    NodeLock& operator=(const NodeLock&) = default;
};

}  // namespace host
