#pragma once
// One run of a page's Read, Write or live refresh: every call it makes to the node goes through
// it, and it records what happened (the variables read and written, the ones the node did not
// take, the part NV 45 shows) so that the page reports the outcome from the record, not from
// counters kept beside the calls. A call the host reports as unreachable ends the routine: its
// later calls fail at once with the host's reason, instead of each waiting its own retries.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "node/NodeLink.h"
#include "node/NodeVariableMap.h"

namespace platform {
class Desktop;
}

namespace vireo {

// A handler's buffer for one host read: at least 32 bytes, zero-initialised.
using NvBuffer = std::array<std::uint8_t, nv::kBufferSize>;

enum class RoutineKind { Read, Write, Refresh, Other };

class NodeRoutine {
public:
    NodeRoutine(RoutineKind kind, const NodeLink& link, int partPauseMs);
    NodeRoutine(const NodeRoutine&) = delete;
    NodeRoutine& operator=(const NodeRoutine&) = delete;

    RoutineKind Kind() const { return kind_; }
    // The node as this routine reaches it: calls after an unreachable one fail at once.
    NodeLink Link() const { return link_; }

    bool ReadNv(int index, NvBuffer& buffer, int length);
    bool WriteNv(int index, const NvBuffer& buffer, int length);
    // The part window with the page's pauses. The routine's first part is selected only when
    // NV 44 does not hold it already (SelectFirst); later ones without asking (SelectPart).
    int GetSelectedPart();
    bool SelectPart(int part);
    bool SelectFirst(int part);
    // Selects a step's part: the first step's as SelectFirst, later steps' as SelectPart.
    bool SelectForStep(int part);

    // What the routine did so far.
    int Reads() const { return reads_; }
    int Writes() const { return writes_; }
    // The variables whose write failed ("NV 24", "NV 45 (part 6)"), once each, in order; a
    // failed selection counts as NV 44 not written.
    const std::vector<std::string>& NotWritten() const { return notWritten_; }
    // The variables whose write the node took, named the same way, once each.
    const std::vector<std::string>& Written() const { return written_; }
    // The variables a refresh could not read, once each ("NV 24").
    const std::vector<std::string>& NotRead() const { return notRead_; }
    // A Write's controls: those stored into the bytes of its next write, and those whose
    // write failed (a failed write takes the controls stored since the write before).
    void NoteStored(std::span<const int> ids);
    void NoteNotWritten(std::span<const int> ids);
    const std::vector<int>& NotWrittenControls() const { return notWrittenIds_; }
    // Whether a write of this routine stored the control. A page that stores its controls
    // itself does not note them: its controls count as written once the routine wrote and
    // nothing failed.
    bool Wrote(int id) const;
    // Why the host can no longer reach the node; empty while it can.
    const std::string& Unreachable() const { return reach_.unreachable; }

private:
    // "NV 45 (part 6)" for the part window's data, "NV 24" for any other variable.
    std::string NameOf(int index) const;
    // A selection of the part window; notes the part NV 45 now shows, or the failed write.
    bool Selected(int part, bool selected);
    void NoteWrite(int index, bool written);

    RoutineKind kind_;
    Reachability reach_;
    NodeLink link_;
    int pauseMs_;
    bool stepSelected_ = false;
    int shownPart_ = 0;
    int reads_ = 0;
    int writes_ = 0;
    std::vector<int> stored_;
    std::vector<int> writtenIds_;
    std::vector<int> notWrittenIds_;
    std::vector<std::string> notWritten_;
    std::vector<std::string> written_;
    std::vector<std::string> notRead_;
};

// The status line's text for what a page's routine could not do, or empty when it did all:
// "Write of Pressure failed: NV 45 (part 6) not written"; a Write the node took in part says so
// and names what was written ("Write of Pressure partly failed: NV 45 (part 6) not written;
// NV 24 written"); a node the host cannot reach gives the host's reason instead of the
// variables ("Refresh of Pumps failed: nothing listens on the router's port").
std::string RoutineTrouble(std::string_view routine, const std::string& caption,
                           const NodeRoutine& record);

}  // namespace vireo
