#pragma once
// The Extended operation pages: the three delays of one circuit after which it switches to its
// boost, day and night temperature, each an hours word and a minutes word in NV 36, shown as
// "H:MM". "Start" beside a delay restarts that countdown in the node. The twin pages differ only
// in the dialog and in where their twelve bytes of NV 36 begin.

#include "page/NodePage.h"

namespace vireo {

class ExtendedOperationPage : public CNodePage {
public:
    ExtendedOperationPage(int dialogId, int firstDelayByte);

protected:
    void ReadConfig() override;
    void WriteConfig() override;

private:
    // The byte of NV 36 where the delay of edit 203, 204 or 205 begins.
    int DelayByte(int editId) const;
    void StoreDelay(NvBuffer& buffer, int editId) const;
    // "Start": the delay written as 0:00, then, 2000 ms later, as typed.
    void StartDelay(int editId);

    int firstDelayByte_;
};

}  // namespace vireo
