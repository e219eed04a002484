#include "site/SiteDiscovery.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "codecs/HexBytes.h"
#include "link/LinkSettings.h"
#include "link/SharedChannel.h"
#include "lon/Transactions.h"
#include "node/NodeVariableMap.h"
#include "sim/Network.h"
#include "sim/SimNode.h"

namespace host {

namespace {

// The node's name NV, asked once; empty when it does not answer in time or has no name.
std::string AskName(SharedChannel& router, const lon::SubnetNode& address) {
    const lon::Target target{false, address, {}};
    const std::unique_ptr<lon::PacketPort> port = router.NodePort(target);
    const LinkSettings& settings = router.Settings();
    lon::Transactions transactions(*port, router.Clock(), settings.source, settings.domain,
                                   {0, settings.retry.transmitTimerCode});
    const lon::Outcome outcome =
        transactions.Run(target, lon::Service::Request, lon::NvFetchRequest(nv::kNodeName));
    lon::Bytes value;
    if (!outcome.completed ||
        lon::ReadNvFetchResponse(outcome.response, nv::kNodeName, value) != lon::Reply::Success) {
        return {};
    }
    return std::string(value.begin(), std::find(value.begin(), value.end(), std::uint8_t{0}));
}

// Asks the channel's new nodes their names, as many at once as the channel carries, until the
// deadline. Other channels may still add their nodes to found meanwhile: it is touched under
// the mutex only.
void NameNewNodes(SharedChannel& router, int channel, lon::Millis deadline, std::mutex& mutex,
                  std::vector<DiscoveredNode>& found) {
    std::vector<std::size_t> unnamed;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (found[i].channel == channel && !found[i].known) {
                unnamed.push_back(i);
            }
        }
    }
    std::atomic<std::size_t> next{0};
    const auto asker = [&] {
        for (std::size_t i = next++; i < unnamed.size() && router.Clock().Now() < deadline;
             i = next++) {
            lon::SubnetNode address;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                address = found[unnamed[i]].found.address;
            }
            std::string name = AskName(router, address);
            const std::lock_guard<std::mutex> lock(mutex);
            found[unnamed[i]].name = std::move(name);
        }
    };
    const auto atOnce = std::min<std::size_t>(
        unnamed.size(), static_cast<std::size_t>(NodesAtOnceOnChannel(router.Settings())));
    std::vector<std::thread> askers;
    for (std::size_t i = 0; i < atOnce; ++i) {
        try {
            askers.emplace_back(asker);
        } catch (const std::system_error&) {
            break;  // those there are ask the others
        }
    }
    if (askers.empty()) {
        asker();
    }
    for (std::thread& thread : askers) {
        thread.join();
    }
}

}  // namespace

SiteDiscovery DiscoverSite(const Site& site, const lon::Bytes& secret, lon::Millis listen,
                           const std::function<void(const DiscoveredNode&)>& heard,
                           std::vector<std::string>& problems, DiscoveryLimits limits) {
    std::mutex mutex;
    SiteDiscovery discovery;
    std::vector<DiscoveredNode>& found = discovery.nodes;
    std::set<lon::NeuronId> kept;  // a node heard on two channels (bridged by mistake) is kept once
    int added = 0;
    lon::SteadyClock clock;
    const lon::Millis namingEnds = clock.Now() + listen + limits.naming;
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
                    if (kept.contains(node.identity.neuronId)) {
                        return;
                    }
                    if (!entry.known && added >= limits.mostNew) {
                        ++discovery.leftOut;
                        return;
                    }
                    added += entry.known ? 0 : 1;
                    kept.insert(node.identity.neuronId);
                    found.push_back(entry);
                    if (heard) {
                        heard(entry);
                    }
                },
                nodes);
        }
        if (!problem) {
            NameNewNodes(*router, link.channel, namingEnds, mutex, found);
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
    std::stable_partition(found.begin(), found.end(),
                          [](const DiscoveredNode& node) { return !node.known; });
    return discovery;
}

std::string LeftOutText(const SiteDiscovery& discovery, const DiscoveryLimits& limits) {
    if (discovery.leftOut == 0) {
        return {};
    }
    return std::to_string(discovery.leftOut) + " more new " +
           (discovery.leftOut == 1 ? "node was" : "nodes were") +
           " heard and not kept: a discovery keeps at most " + std::to_string(limits.mostNew) +
           " new nodes; run it again for the others";
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
