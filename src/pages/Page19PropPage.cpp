#include "pages/Page19PropPage.h"

namespace vireo {

CPage19PropPage::CPage19PropPage()
    : TemperaturesPage({.dialogId = 218,
                        .captionId = 253,
                        .circuit = 0,
                        .ids = res::temperatures::kCircuit1Ids}) {}

}  // namespace vireo
