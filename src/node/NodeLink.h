#pragma once
// The sheet's two host interfaces as the pages use them. A missing interface counts as a
// failed call: nothing is sent and the caller behaves as on a non-zero result.

#include <cstdint>
#include <string>

#include "node/NodeInterfaces.h"

namespace platform {
class Desktop;
}

// What one routine of calls learnt of the node's reach: once the host answers a call with
// NODE_E_UNREACHABLE, the routine's later calls fail at once, without asking the host, and its
// reason is kept for the status line.
struct Reachability {
    std::string unreachable;  // the host's reason; empty while the node is reachable
};

class NodeLink {
public:
    NodeLink() = default;
    NodeLink(NodeReader* reader, NodeWriter* writer, NodeOperationLock* lock = nullptr)
        : reader_(reader), writer_(writer), lock_(lock) {}

    NodeReader* Reader() const { return reader_; }
    NodeWriter* Writer() const { return writer_; }
    NodeOperationLock* Lock() const { return lock_; }
    // The same link, its calls watched by reach for a node the host reports unreachable.
    NodeLink Watched(Reachability& reach) const;

    // True when the host answered 0.
    bool Read(int index, std::uint8_t* buffer, int length) const;
    bool Write(int index, const std::uint8_t* buffer, int length) const;
    bool GetNodeName(std::uint8_t* buffer, int length) const;

private:
    // False without calling the host when the node is known to be unreachable; otherwise the
    // call's result, noting an unreachable node with the host's reason.
    bool Reachable() const;
    bool Noted(HRESULT result) const;

    NodeReader* reader_ = nullptr;
    NodeWriter* writer_ = nullptr;
    NodeOperationLock* lock_ = nullptr;
    Reachability* reach_ = nullptr;
};

// Holds the node for one operation that uses the part window (a page's Read or Write, an
// export, a download, the factory defaults), so that no other program's part selection lands
// between ours and the NV 45 access that depends on it. Nothing on a host without the lock.
class OperationHold {
public:
    explicit OperationHold(const NodeLink& link);
    ~OperationHold();
    OperationHold(const OperationHold&) = delete;
    OperationHold& operator=(const OperationHold&) = delete;

private:
    NodeOperationLock* lock_;
};

// The part window: NV 44 selects which part of nviPluginCnf NV 45 shows. The page versions
// pause before and after each selector write (250 ms, 200 ms on the night lowering page);
// the sheet's own versions pause not at all (pauseMs 0).
class PartWindow {
public:
    PartWindow(const NodeLink& link, platform::Desktop& desktop, int pauseMs)
        : link_(link), desktop_(desktop), pauseMs_(pauseMs) {}

    // The big-endian part number in NV 44, or 0 when the read fails.
    int GetSelectedPart() const;
    // Writes n to NV 44 between two pauses. False when the write failed: NV 45 then still
    // shows the part selected before, so nobody may read or write it as part n.
    bool SelectPart(int n) const;
    // The first part a routine needs: selected only when NV 44 does not already hold it.
    // True when NV 44 held it or the selection succeeded.
    bool SelectFirst(int n) const;

private:
    NodeLink link_;
    platform::Desktop& desktop_;
    int pauseMs_;
};
