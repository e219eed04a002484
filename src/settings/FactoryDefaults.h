#pragma once
// The node's factory configuration: the byte images of the seven single configuration variables
// and of the twelve parts of nviPluginCnf, built from the node field table (each field's factory
// value, and the factory's bytes that no field names). The simulated node starts from them.

#include <array>
#include <cstdint>
#include <vector>

#include "node/NodeVariableMap.h"

namespace settings {

// The factory byte image of NV 37 to 43 (31, 2 or 4 bytes); empty for any other index.
std::vector<std::uint8_t> FactoryVariableImage(int hostIndex);
// The factory byte image of part 1 to 12 of nviPluginCnf; all zero for any other number.
std::array<std::uint8_t, nv::kPartSize> FactoryPartImage(int part);

}  // namespace settings
