#pragma once
// The simulated node: keeps each written value per host index with the sizes of the node
// variable map, shows the part of nviPluginCnf whose number NV 44 holds through NV 45, lets a
// write to NV 0 set the clock that NV 3 reads, answers its name, and can be told to fail
// chosen calls. Its starting image is the factory image. On request it keeps a journal of
// every host call, for tests.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/Com.h"
#include "node/NodeAccess.h"
#include "node/NodeClock.h"
#include "node/NodeVariableMap.h"
#include "node/ProgramId.h"

namespace host {

using Bytes = std::vector<std::uint8_t>;
using PartImage = std::array<std::uint8_t, nv::kPartSize>;

// The node clock; a fresh node's stands at 2026-12-06 09:05:07.
using ClockTime = platform::DateTime;
inline constexpr ClockTime kStartClock{2026, 12, 6, 9, 5, 7};

// What the plug-in did to the node, kept while recording is on.
struct Journal {
    struct Write {
        int index;
        int selectedPart;  // the part number NV 44 held when the write arrived
        Bytes bytes;       // as sent
    };
    std::vector<Write> writes;    // every write, failed ones included
    std::vector<int> selections;  // every part number NV 44 took
    std::vector<int> reads;       // every index read, failed reads included

    // The writes to the configuration variables: all but those to the selector NV 44.
    std::vector<Write> ConfigurationWrites() const;
    // The highest part number NV 44 took; 0 when it took none.
    int MaxSelection() const;
};

class SimNode;
class Channel;

// Where a simulated node's state lives when other processes share it (its state file): reads
// see the latest saved state, and a write is applied to the latest state and saved, or fails.
class NodeStore {
public:
    virtual ~NodeStore() = default;
    // Before a read: brings node up to the state last saved by anyone.
    virtual void BeforeRead(SimNode& node) = 0;
    // A write: brings node up to date, applies change (false: the node refused it) and saves,
    // all as one step for every process. False when the change was refused or could not be
    // saved; node is then as it was. durable false: a change the node would not keep through a
    // power loss either (the part window's selection), shared with every process but not
    // flushed to disk.
    virtual bool Write(SimNode& node, const std::function<bool()>& change, bool durable) = 0;
};

class SimNode final : public NodeAccess {
public:
    SimNode();

    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override;
    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override;
    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override;

    // State, as scripts and the state file set it. Raw stores are zero-padded to the size.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const ProgramId& GetProgramId() const { return programId_; }
    void SetProgramId(const ProgramId& id) { programId_ = id; }
    bool SetRaw(int index, const Bytes& bytes);  // false for an index not in the map
    Bytes Raw(int index) const;                  // the stored bytes; empty when not in the map
    bool SetPart(int part, const Bytes& bytes);  // false for a part outside 1 to 12
    PartImage Part(int part) const;
    int Selector() const;
    void SetSelector(int part);
    void SetClock(const ClockTime& time);
    // Whether the clock advances with real time (the GUI) or stands still (scripts, tests);
    // a running clock advances rate seconds per real second.
    void SetClockRuns(bool runs, double rate = 1);

    // Failures. A failed name read is a node without a name.
    void FailRead(int index) { failRead_.insert(index); }
    void FailWrite(int index) { failWrite_.insert(index); }
    void FailPartRead(int part) { failPartRead_.insert(part); }    // NV 45 while part shows
    void FailPartWrite(int part) { failPartWrite_.insert(part); }  // NV 45 while part shows
    void FailName() { failName_ = true; }
    // Every host call answered as a link answers for a node it cannot reach, with its reason.
    void FailUnreachable(std::string reason) { unreachable_ = std::move(reason); }
    std::string LastProblem() const override { return unreachable_; }
    void Heal();

    // The journal: empty and off at first (a long GUI session keeps none); StartRecording
    // empties it and records every host call from then on.
    void StartRecording();
    const Journal& Recorded() const { return journal_; }

    // Where the state is kept between calls; nothing for a node of this process alone. Not
    // owned; it must outlive the node's use of it.
    NodeStore* store = nullptr;
    // The channel of the node's network: every host call takes its slot of the channel's time.
    // Nothing for a node reached alone. Not owned.
    Channel* channel = nullptr;
    // Where reads of the live values come from while set (the GUI's heating plant): a value
    // for an index it computes, nothing for one the node keeps. Raw and the state file never
    // see these values.
    std::function<std::optional<Bytes>(int index)> liveValues;

private:
    // Takes the host call's slot of the channel's time, when the node has a channel.
    void Transact(bool update, int index, int length) const;
    Bytes ReadValue(int index) const;
    bool StoreValue(int index, const std::uint8_t* buffer, int length);

    std::string name_ = "Node1";
    ProgramId programId_ = ControllerProgramId();
    std::map<int, Bytes> values_;
    std::array<PartImage, nv::kPartCount> parts_{};
    std::set<int> failRead_;
    std::set<int> failWrite_;
    std::set<int> failPartRead_;
    std::set<int> failPartWrite_;
    bool failName_ = false;
    std::string unreachable_;
    bool recording_ = false;
    Journal journal_;
    bool clockRuns_ = false;
    double clockRate_ = 1;
    std::int64_t clockSetAt_ = 0;  // seconds of the steady clock when NV 3 was last set
};

}  // namespace host
