#include "pages/Page9PropPage.h"

namespace vireo {

CPage9PropPage::CPage9PropPage()
    : StatusSwitchPage({.dialogId = 208,
                        .captionId = 208,
                        .switchNv = nv::kRotarySwitch1,
                        .unitModeNv = nv::kUnitMode1,
                        .overrideNv = nv::kSwitchExt1}) {}

}  // namespace vireo
