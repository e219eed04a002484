#include "pages/Page13PropPage.h"

namespace vireo {

CPage13PropPage::CPage13PropPage()
    : PumpPage({.dialogId = 212,
                .captionId = 212,
                .modeOffset = nv::kModePumpMp1,
                .outputNv = nv::kPumpOutput1,
                .alarmByte = 1}) {}

}  // namespace vireo
