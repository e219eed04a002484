#include "pages/AnalogValves2Page.h"

namespace vireo {

AnalogValves2Page::AnalogValves2Page()
    : AnalogValvePage({.dialogId = 211,
                       .first = {res::analog_valve::kValveMv2Ids, 1},
                       .second = {res::analog_valve::kValveMv4Ids, 3},
                       .circuit = 1}) {}

}  // namespace vireo
