#include "pages/Temperatures2Page.h"

namespace vireo {

Temperatures2Page::Temperatures2Page()
    : TemperaturesPage({.dialogId = 219,
                        .captionId = 254,
                        .circuit = 1,
                        .ids = res::temperatures::kCircuit2Ids}) {}

}  // namespace vireo
