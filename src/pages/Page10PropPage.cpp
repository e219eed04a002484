#include "pages/Page10PropPage.h"

namespace vireo {

CPage10PropPage::CPage10PropPage()
    : StatusSwitchPage({.dialogId = 209,
                        .captionId = 209,
                        .switchNv = nv::kRotarySwitch2,
                        .unitModeNv = nv::kUnitMode2,
                        .overrideNv = nv::kSwitchExt2}) {}

}  // namespace vireo
