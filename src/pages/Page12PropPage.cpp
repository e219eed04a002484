#include "pages/Page12PropPage.h"

namespace vireo {

CPage12PropPage::CPage12PropPage()
    : AnalogValvePage({.dialogId = 211,
                       .first = {res::analog_valve::kValveMv2Ids, 1},
                       .second = {res::analog_valve::kValveMv4Ids, 3},
                       .circuit = 1}) {}

}  // namespace vireo
