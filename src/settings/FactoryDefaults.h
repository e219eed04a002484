#pragma once
// The node's factory configuration: default value lines of the seven single configuration
// variables and of the twelve parts of nviPluginCnf, in the settings file's value-line form,
// so that the defaults and a downloaded file go through the same conversion. The simulated
// node starts from the byte images these lines give.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "node/NodeVariableMap.h"

namespace settings {

struct FactoryLine {
    int hostIndex;          // 37 to 43
    std::string_view line;  // value line, in the form of the variable's file kind
};

// The seven single variables in the order the defaults write them (NV 37 to 43).
std::span<const FactoryLine> FactoryVariableLines();
// The default line of part 1 to 12; empty for any other number.
std::string_view FactoryPartLine(int part);

// The factory byte image of NV 37 to 43 (31, 2 or 4 bytes); empty for any other index.
std::vector<std::uint8_t> FactoryVariableImage(int hostIndex);
// The factory byte image of part 1 to 12 of nviPluginCnf; all zero for any other number.
std::array<std::uint8_t, nv::kPartSize> FactoryPartImage(int part);

}  // namespace settings
