#include "pages/Temperatures1Page.h"

namespace vireo {

Temperatures1Page::Temperatures1Page()
    : TemperaturesPage({.dialogId = 218,
                        .captionId = 253,
                        .circuit = 0,
                        .ids = res::temperatures::kCircuit1Ids}) {}

}  // namespace vireo
