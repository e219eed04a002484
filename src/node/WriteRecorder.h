#pragma once
// The write history's view of the node link. Every host call through a NodeLink is reported
// to the module's current recorder after it returns, so that recording never delays a write
// and never adds node traffic: the recorder only looks at what the plug-in sent and received.
// It follows the part window (NV 44 writes and reads) to know which part an NV 45 write went
// to, keeps the bytes an operation read from a place until it writes that place (the "before"
// of a read-modify-write), and hands each write to its store as soon as the host answered it,
// so that a program killed in the middle of an operation leaves the writes that reached the
// node. The writes of one operation (a button press, a command) share its number. The part
// selections themselves are how a part is addressed, not a change: they are not kept as writes.
// Plain C++, no Qt.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace node {

using Bytes = std::vector<std::uint8_t>;

// One write the plug-in made.
struct WriteEvent {
    std::int64_t timeMs = 0;  // milliseconds since 1970-01-01 UTC
    std::string origin;       // the page caption ("Pump") or the operation ("Factory defaults")
    int nv = 0;
    int part = 0;  // NV 45: the part NV 44 held; 0 for other variables or when not known
    Bytes bytes;   // as sent
    bool succeeded = false;
    std::optional<Bytes> before;  // the place's bytes as the operation read them, if it did
};

class WriteRecorder {
public:
    WriteRecorder() = default;
    WriteRecorder(const WriteRecorder&) = delete;
    WriteRecorder& operator=(const WriteRecorder&) = delete;
    virtual ~WriteRecorder() = default;

    // The recorder of this module; none means no history.
    static WriteRecorder* Current();
    static void SetCurrent(WriteRecorder* recorder);

    // What the link saw, reported after each host call.
    void SawRead(int index, const std::uint8_t* bytes, int length, bool ok);
    void SawWrite(int index, const std::uint8_t* bytes, int length, bool ok);
    void SawNodeName(const std::uint8_t* bytes, int length, bool ok);
    // The node's name as the host knows it (the command line owns its node).
    void SetNodeName(std::string name);
    // The node as the host knows it: what tells it from every other node (a simulated node's
    // state file, a real node's Neuron ID), and its name, which is only shown.
    void SetNode(std::string identity, std::string name);
    // The identity alone, before the node's name is read (the sheet learns that from the node).
    void SetNodeIdentity(std::string identity) { nodeIdentity_ = std::move(identity); }
    const std::string& NodeName() const { return nodeName_; }
    const std::string& NodeIdentity() const { return nodeIdentity_; }

    // Operations nest (a page's button runs a download); a write takes the origin of the
    // innermost one, and all the writes until the outermost one ends share one operation.
    void BeginOperation(std::string_view origin);
    void EndOperation();

    // A run that rewrites the node's configuration (a download, the factory defaults) is kept
    // as it goes, from its start, so that one that never ends (the program was killed, the
    // machine went down) is known the next time the node is seen.
    virtual void RunStarted(std::string_view /*origin*/, std::string_view /*file*/) {}
    virtual void RunEnded() {}

protected:
    // One write of the operation going on, right after the host answered it.
    virtual void Record(const WriteEvent& write) = 0;
    // The outermost operation ended; the next write starts a new one.
    virtual void OperationEnded() {}
    // The node became known (read from the node, or given by the host).
    virtual void NodeNamed() {}

private:
    std::vector<std::string> origins_;
    std::map<std::pair<int, int>, Bytes> lastRead_;  // (nv, part) read in this operation
    int selectedPart_ = 0;                           // 0: not known
    std::string nodeName_;
    std::string nodeIdentity_;
};

// One operation of the current recorder, if there is one.
class RecordedOperation {
public:
    explicit RecordedOperation(std::string_view origin);
    ~RecordedOperation();
    RecordedOperation(const RecordedOperation&) = delete;
    RecordedOperation& operator=(const RecordedOperation&) = delete;

private:
    WriteRecorder* recorder_;
};

// One run of the current recorder, if there is one: started when made, ended when it goes.
class RecordedRun {
public:
    RecordedRun(std::string_view origin, std::string_view file);
    ~RecordedRun();
    RecordedRun(const RecordedRun&) = delete;
    RecordedRun& operator=(const RecordedRun&) = delete;

private:
    WriteRecorder* recorder_;
};

// A node name as single-byte text: the bytes up to the first zero (at most length), each
// shown as its Latin-1 character in UTF-8.
std::string NodeNameText(const std::uint8_t* bytes, int length);

}  // namespace node
