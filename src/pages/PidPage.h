#pragma once
// The PID pages: the P, I and D parameters of one valve's controller in part 8 of
// nviPluginCnf. Reading is free; a Write needs the service password, typed into the page for
// each Write and emptied after every attempt, and ends with a Read of what the node now holds.
// The twin pages differ only in the valve (Mv1: bytes 1-6, Mv2: bytes 19-24).

#include "page/NodePage.h"
#include "res/PidDialogs.h"

namespace vireo {

class PidPage : public CNodePage {
public:
    // valve: 0 for Mv1, 1 for Mv2.
    PidPage(int dialogId, int captionId, int valve);

protected:
    int PasswordEditId() const override { return res::pid::kPassword; }
    bool ClearsPasswordAfterWrite() const override { return true; }
    bool ReadsAfterWrite() const override { return true; }
};

}  // namespace vireo
