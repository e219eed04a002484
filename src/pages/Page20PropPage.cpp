#include "pages/Page20PropPage.h"

namespace vireo {

CPage20PropPage::CPage20PropPage()
    : TemperaturesPage({.dialogId = 219,
                        .captionId = 254,
                        .circuit = 1,
                        .ids = res::temperatures::kCircuit2Ids}) {}

}  // namespace vireo
