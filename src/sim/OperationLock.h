#pragma once
// The node's operation lock: only one process on this PC uses a node's part window at a time.
// A part selection (NV 44) and the NV 45 accesses that depend on it are one unit, so the process
// that runs a page's Read or Write, an export, a download or the factory defaults holds the node
// for the whole operation; the live refresh, which does not use the part window, never waits.
// The lock is a lock file that names its holder, so that a process that waits can say whom it
// waits for. It only keeps apart the programs of one PC.

#include <chrono>
#include <functional>
#include <string>

#include "node/NodeLock.h"

namespace host {

class OperationLock final : public NodeLock {
public:
    struct Waiting {
        bool wait = true;  // false: a node in use fails at once (--no-wait)
        // Told once when the node is still in use after noticeAfter: whom the process waits for.
        std::function<void(const std::string&)> notice;
        std::chrono::milliseconds noticeAfter{1000};
        // Asked while waiting: true gives up (an interrupted command).
        std::function<bool()> stop;
    };

    // nodeName names the node in the messages; lockPath is the node's lock file.
    OperationLock(std::string nodeName, std::string lockPath, Waiting waiting);
    ~OperationLock() override;
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

    // Holds the node, waiting for another holder as Waiting says. Nested calls only count.
    // False (and Error() says why) when the node stays in use or the lock file cannot be used.
    bool Acquire() override;
    // Ends one Acquire that succeeded; the last one frees the node.
    void Release() override;
    bool Held() const override { return depth_ > 0; }
    const std::string& Error() const override { return error_; }

    // The lock file of a node kept in a state file: beside the file its links lead to.
    static std::string PathForStateFile(const std::string& stateFile);
    // The lock file of a node over a link, by what names it on the wire: in the user's runtime
    // folder, so that every program of this PC finds the same one.
    static std::string PathForLinkedNode(const std::string& wireName);
    // How this process names itself to a process that waits: "process 1234 (vireo export a.txt)".
    static std::string ThisProcess();

private:
    bool TakeOnce(std::string& holder);
    std::string Holder() const;

    std::string nodeName_;
    std::string lockPath_;
    Waiting waiting_;
    int fd_ = -1;
    int depth_ = 0;
    std::string error_;
};

}  // namespace host
