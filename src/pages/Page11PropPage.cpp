#include "pages/Page11PropPage.h"

namespace vireo {

namespace {

// Flags of part 1 (stored masks): cascade 0x01, Mv1 0x01, Mv3 0x02.
constexpr AnalogValveTwin kCircuit1{
    .dialogId = 210,
    .first = {.ids = res::analog_valve::kValveMv1Ids,
              .modeByte = nv::kModeValveMv1,
              .manualByte = nv::kManualOutputMv1,
              .liveNv = nv::kValveOutputMv1,
              .flagBit = 0},
    .second = {.ids = res::analog_valve::kValveMv3Ids,
               .modeByte = nv::kModeValveMv3,
               .manualByte = nv::kManualOutputMv3,
               .liveNv = nv::kValveOutputMv3,
               .flagBit = 1},
    .cascadeBit = 0,
    .cascadeOutputByte = nv::kCascadeOutputCircuit1,
};

}  // namespace

CPage11PropPage::CPage11PropPage() : AnalogValvePage(kCircuit1) {}

}  // namespace vireo
