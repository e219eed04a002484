#pragma once
// The status switch pages: the live position of one rotary switch and the unit's operating
// mode, and the override code that takes the switch's place from the PC (Boost, Night, Day,
// Off, Auto, Occupied, or 255 to hand control back to the switch). The override radios cannot
// be changed while the switch stands at Off, unless the override itself is Off.

#include "page/NodePage.h"

namespace vireo {

// What differs between the pages of rotary switch Sw1 and Sw2.
struct StatusSwitchTwin {
    int dialogId;
    int captionId;
    int switchNv;    // rotary switch position
    int unitModeNv;  // unit operating mode
    int overrideNv;  // override code (nciSwitchExt1 / nciSwitchExt2)
};

class StatusSwitchPage : public CNodePage {
public:
    explicit StatusSwitchPage(const StatusSwitchTwin& twin);

    // The text of a rotary switch position and of a unit operating mode.
    static const char* SwitchPositionText(int position);
    static const char* UnitModeText(int mode);

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    void RefreshRadioEnabling();

    StatusSwitchTwin twin_;
};

}  // namespace vireo
