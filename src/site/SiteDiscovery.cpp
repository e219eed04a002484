#include "site/SiteDiscovery.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "codecs/HexBytes.h"
#include "link/LonNode.h"
#include "link/SharedChannel.h"
#include "sim/Network.h"
#include "sim/SimNode.h"

namespace host {

namespace {

// Asks each new node of a channel its name, by its name NV. Other channels may still add
// their nodes to found meanwhile: it is touched under the mutex only.
void NameNewNodes(SharedChannel& router, int channel, std::mutex& mutex,
                  std::vector<DiscoveredNode>& found) {
    std::vector<FoundNode> unnamed;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (const DiscoveredNode& node : found) {
            if (node.channel == channel && !node.known) {
                unnamed.push_back(node.found);
            }
        }
    }
    for (const FoundNode& node : unnamed) {
        lon::Target target;
        target.node = node.address;
        LonNode named(router, target);
        if (named.Open() || named.Name() == NeuronIdText(node.identity.neuronId)) {
            continue;
        }
        const std::lock_guard<std::mutex> lock(mutex);
        for (DiscoveredNode& entry : found) {
            if (entry.found.identity.neuronId == node.identity.neuronId) {
                entry.name = named.Name();
            }
        }
    }
}

}  // namespace

std::vector<DiscoveredNode> DiscoverSite(const Site& site, const lon::Bytes& secret,
                                         lon::Millis listen,
                                         const std::function<void(const DiscoveredNode&)>& heard,
                                         std::vector<std::string>& problems) {
    std::mutex mutex;
    std::vector<DiscoveredNode> found;
    const auto listenOn = [&](const SiteLink& link) {
        LinkSettings settings;
        std::optional<std::string> problem = ChannelSettings(site, link, secret, settings);
        std::optional<SharedChannel> router;
        if (!problem) {
            router.emplace(settings);
            problem = router->Open();
        }
        std::vector<FoundNode> nodes;
        if (!problem) {
            problem = DiscoverNodes(
                *router, listen,
                [&](const FoundNode& node) {
                    DiscoveredNode entry{link.channel, node, false, false, {}};
                    if (const SiteNode* known = FindByNeuronId(site, node.identity.neuronId)) {
                        entry.known = true;
                        entry.moved =
                            known->channel != link.channel || known->address != node.address;
                    }
                    const std::lock_guard<std::mutex> lock(mutex);
                    found.push_back(entry);
                    if (heard) {
                        heard(entry);
                    }
                },
                nodes);
        }
        if (!problem) {
            NameNewNodes(*router, link.channel, mutex, found);
        }
        if (problem) {
            const std::lock_guard<std::mutex> lock(mutex);
            problems.push_back("channel " + std::to_string(link.channel) + ": " + *problem);
        }
    };
    std::vector<std::thread> threads;
    for (const SiteLink& link : site.links) {
        threads.emplace_back(listenOn, std::cref(link));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    // A node heard on two channels (a router's channels bridged by mistake) is kept once.
    std::vector<DiscoveredNode> unique;
    for (const DiscoveredNode& node : found) {
        if (std::none_of(unique.begin(), unique.end(), [&](const DiscoveredNode& other) {
                return other.found.identity.neuronId == node.found.identity.neuronId;
            })) {
            unique.push_back(node);
        }
    }
    std::stable_partition(unique.begin(), unique.end(),
                          [](const DiscoveredNode& node) { return !node.known; });
    return unique;
}

std::string NameForNode(const Site& site, const DiscoveredNode& node) {
    const lon::NeuronId& id = node.found.identity.neuronId;
    std::string name = "node-" + codecs::HexBytes(id.data(), id.size());
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    if (!node.name.empty() && NameProblem(node.name).empty()) {
        name = node.name;
    }
    std::string unique = name;
    for (int n = 2; FindSiteNode(site, unique) != nullptr; ++n) {
        unique = name + "-" + std::to_string(n);
    }
    return unique;
}

SiteChanges MergeDiscovered(Site& site, const std::vector<DiscoveredNode>& found,
                            const std::string& now) {
    SiteChanges changes;
    for (const DiscoveredNode& node : found) {
        const lon::NodeIdentity& identity = node.found.identity;
        SiteNode* entry = FindByNeuronId(site, identity.neuronId);
        if (entry == nullptr) {
            SiteNode added;
            added.name = NameForNode(site, node);
            added.neuronId = identity.neuronId;
            site.nodes.push_back(added);
            entry = &site.nodes.back();
            ++changes.added;
        } else if (entry->channel != node.channel || entry->address != node.found.address) {
            ++changes.moved;
        } else {
            ++changes.seen;
        }
        entry->channel = node.channel;
        entry->address = node.found.address;
        entry->programId = ProgramIdText(identity.programId);
        entry->lastSeen = now;
    }
    return changes;
}

}  // namespace host
