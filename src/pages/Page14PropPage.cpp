#include "pages/Page14PropPage.h"

namespace vireo {

CPage14PropPage::CPage14PropPage()
    : PumpPage({.dialogId = 213,
                .captionId = 213,
                .modeOffset = nv::kModePumpMp2,
                .outputNv = nv::kPumpOutput2,
                .alarmByte = 0}) {}

}  // namespace vireo
