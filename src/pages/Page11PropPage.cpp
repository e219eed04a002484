#include "pages/Page11PropPage.h"

namespace vireo {

CPage11PropPage::CPage11PropPage()
    : AnalogValvePage({.dialogId = 210,
                       .first = {res::analog_valve::kValveMv1Ids, 0},
                       .second = {res::analog_valve::kValveMv3Ids, 2},
                       .circuit = 0}) {}

}  // namespace vireo
