#include "pages/Page12PropPage.h"

namespace vireo {

namespace {

// Flags of part 1 (stored masks): cascade 0x08, Mv2 0x40, Mv4 0x80.
constexpr AnalogValveTwin kCircuit2{
    .dialogId = 211,
    .first = {.ids = res::analog_valve::kValveMv2Ids,
              .modeByte = nv::kModeValveMv2,
              .manualByte = nv::kManualOutputMv2,
              .liveNv = nv::kValveOutputMv2,
              .flagBit = 6},
    .second = {.ids = res::analog_valve::kValveMv4Ids,
               .modeByte = nv::kModeValveMv4,
               .manualByte = nv::kManualOutputMv4,
               .liveNv = nv::kValveOutputMv4,
               .flagBit = 7},
    .cascadeBit = 3,
    .cascadeOutputByte = nv::kCascadeOutputCircuit2,
};

}  // namespace

CPage12PropPage::CPage12PropPage() : AnalogValvePage(kCircuit2) {}

}  // namespace vireo
