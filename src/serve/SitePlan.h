#pragma once
// Where each node of a served site sits: the nodes sorted by name, node j on channel
// (j mod K) + 1, where it is subnet k, node (j div K) + 1; at most 127 nodes a channel. Each
// node's Neuron ID is 05 01 and four bytes of a hash of its name, the same in every run; a name
// whose ID another node of the site already has hashes again with a count added, in name order.

#include <optional>
#include <string>
#include <vector>

#include "lon/Packet.h"

namespace host {

inline constexpr int kMaxNodesPerChannel = 127;

struct SitePlace {
    std::size_t node = 0;  // index into the names given
    int channel = 0;       // 1-K
    lon::SubnetNode address;
    lon::NeuronId neuronId{};
};

// The places of the named nodes, in name order (ties in the order given), or the line that
// says why they do not fit.
std::optional<std::string> PlanSite(const std::vector<std::string>& names, int channels,
                                    std::vector<SitePlace>& places);

}  // namespace host
