#pragma once
// The status switch pages: the live position of one rotary switch and the unit's operating
// mode, and the override code that takes the switch's place from the PC (Boost, Night, Day,
// Off, Auto, Occupied, or 255 to hand control back to the switch). The override radios cannot
// be changed while the switch stands at Off, unless the override itself is Off.

#include <cstddef>

#include "page/NodePage.h"

namespace vireo {

// What differs between the pages of rotary switch Sw1 and Sw2.
struct StatusSwitchTwin {
    int dialogId;
    int captionId;
    std::size_t circuit;  // 0 Sw1, 1 Sw2: the index into the twins of the switch fields
};

class StatusSwitchPage : public CNodePage {
public:
    explicit StatusSwitchPage(const StatusSwitchTwin& twin);

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    void RefreshRadioEnabling();

    node::Field position_;  // rotary switch position
    node::Field unitMode_;  // unit operating mode
    node::Field override_;  // override code (nciSwitchExt1 / nciSwitchExt2)
};

}  // namespace vireo
