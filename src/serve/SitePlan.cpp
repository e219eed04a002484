#include "serve/SitePlan.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace host {
namespace {

// FNV-1a, 32 bits: small, stable across runs and builds.
std::uint32_t NameHash(const std::string& text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    }
    return hash;
}

lon::NeuronId IdOf(const std::string& name, int round) {
    const std::uint32_t hash = NameHash(round == 0 ? name : name + "#" + std::to_string(round));
    return {0x05,
            0x01,
            static_cast<std::uint8_t>(hash >> 24),
            static_cast<std::uint8_t>(hash >> 16),
            static_cast<std::uint8_t>(hash >> 8),
            static_cast<std::uint8_t>(hash)};
}

}  // namespace

std::optional<std::string> PlanSite(const std::vector<std::string>& names, int channels,
                                    std::vector<SitePlace>& places) {
    if (channels < 1 || channels > 255) {
        return std::string("a site has 1 to 255 channels");
    }
    const std::size_t perChannel = (names.size() + channels - 1) / channels;
    if (perChannel > kMaxNodesPerChannel) {
        return std::to_string(names.size()) + " nodes do not fit on " + std::to_string(channels) +
               " channels of at most " + std::to_string(kMaxNodesPerChannel) +
               " nodes: give more channels";
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&names](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    std::set<lon::NeuronId> taken;
    places.clear();
    for (std::size_t j = 0; j < order.size(); ++j) {
        SitePlace place;
        place.node = order[j];
        place.channel = static_cast<int>(j % channels) + 1;
        place.address = {static_cast<std::uint8_t>(place.channel),
                         static_cast<std::uint8_t>(j / channels + 1)};
        for (int round = 0; !taken.insert(place.neuronId = IdOf(names[order[j]], round)).second;
             ++round) {
        }
        places.push_back(place);
    }
    return std::nullopt;
}

}  // namespace host
