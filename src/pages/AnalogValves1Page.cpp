#include "pages/AnalogValves1Page.h"

namespace vireo {

AnalogValves1Page::AnalogValves1Page()
    : AnalogValvePage({.dialogId = 210,
                       .first = {res::analog_valve::kValveMv1Ids, 0},
                       .second = {res::analog_valve::kValveMv3Ids, 2},
                       .circuit = 0}) {}

}  // namespace vireo
