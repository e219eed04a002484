#include "pages/PidPage.h"

#include "node/NodeFields.h"

namespace vireo {

using namespace node::fields;

// Shown on show only: no timer, no live values. Part 8 is read with 31 bytes on Read and 32
// on the read of the read-modify-write; the write sends the part's 31.
PidPage::PidPage(int dialogId, int captionId, int valve)
    : CNodePage(dialogId, captionId, behaviour::ReadOnly()) {
    const Bound config[] = {
        Edit(kPidP[valve], res::pid::kP),
        Edit(kPidI[valve], res::pid::kI),
        Edit(kPidD[valve], res::pid::kD),
    };
    DeclareFields(config);
    SetReadLengths({.read = nv::kPartSize, .modify = nv::kBufferSize});
}

}  // namespace vireo
