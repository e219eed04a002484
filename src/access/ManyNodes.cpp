#include "access/ManyNodes.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "lon/Transactions.h"

namespace host {
namespace {

// The process's own open files: standard streams, the write history's connection (database,
// journal, WAL and its shared memory), the network's folder while it is listed, the loader's
// files.
constexpr std::uint64_t kOpenFilesReserved = 64;

// The jobs shared among the channels: each channel up to what it carries and has, the smallest
// first, the rest evenly.
std::map<int, int> ShareJobs(const std::map<int, ChannelCrowd>& channels, int jobs, bool evenly) {
    std::vector<std::pair<int, int>> wanted;  // channel, nodes it can run at once
    for (const auto& [channel, crowd] : channels) {
        wanted.emplace_back(channel, std::min(crowd.nodes, std::max(1, crowd.most)));
    }
    std::sort(wanted.begin(), wanted.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    std::map<int, int> share;
    int left = jobs;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const int remaining = static_cast<int>(wanted.size() - i);
        const int given = std::min(wanted[i].second, (left + remaining - 1) / remaining);
        left -= given;
        const int nodes = channels.at(wanted[i].first).nodes;
        share[wanted[i].first] = evenly ? EvenlyAtOnce(nodes, given) : given;
    }
    return share;
}

}  // namespace

int SimulatedNodesAtOnce(double channelRate, ChannelUse use) {
    if (channelRate <= 0) {
        return kMostNodesAtOnce;
    }
    const double timer =
        static_cast<double>(lon::TransmitTimer(lon::RetryPolicy{}.transmitTimerCode).count()) /
        1000;
    const double carried =
        std::max(channelRate * use.pauseSeconds / use.transactions, channelRate * timer);
    return std::clamp(static_cast<int>(carried), 1, kMostNodesAtOnce);
}

int EvenlyAtOnce(int nodes, int most) {
    if (nodes <= 0 || most <= 0) {
        return 0;
    }
    const int rounds = (nodes + most - 1) / most;
    return (nodes + rounds - 1) / rounds;
}

JobsPlan PlanJobs(int requested, const std::map<int, ChannelCrowd>& channels,
                  std::uint64_t openFilesPerNode, std::uint64_t soft, std::uint64_t hard) {
    JobsPlan plan;
    int carried = 0;
    for (const auto& [channel, crowd] : channels) {
        const int most = std::min(std::max(0, crowd.nodes), std::max(1, crowd.most));
        carried += requested > 0 ? most : EvenlyAtOnce(crowd.nodes, most);
    }
    plan.jobs = std::min({requested > 0 ? requested : carried, carried, kMostNodesAtOnce});
    const auto needed = [openFilesPerNode](int jobs) {
        return kOpenFilesReserved + openFilesPerNode * static_cast<std::uint64_t>(jobs);
    };
    if (needed(plan.jobs) > soft) {
        // An unlimited hard limit still has the kernel's ceiling: ask for what is needed.
        plan.openFiles = hard == RLIM_INFINITY ? needed(plan.jobs) : hard;
    }
    const int wanted = plan.jobs;
    const bool lowered = needed(wanted) > std::max(soft, plan.openFiles);
    if (lowered) {
        plan.jobs = plan.openFiles > kOpenFilesReserved + openFilesPerNode
                        ? static_cast<int>((plan.openFiles - kOpenFilesReserved) /
                                           std::max<std::uint64_t>(1, openFilesPerNode))
                        : 1;
    }
    plan.atOnce = ShareJobs(channels, plan.jobs, requested <= 0);
    plan.jobs = 0;
    for (const auto& [channel, atOnce] : plan.atOnce) {
        plan.jobs += atOnce;
    }
    if (lowered) {
        plan.note = std::to_string(wanted) + " nodes at once need " +
                    std::to_string(needed(wanted)) + " open files and the limit is " +
                    std::to_string(plan.openFiles) + ": " + std::to_string(plan.jobs) +
                    " at a time (ulimit -n raises it)";
    }
    return plan;
}

JobsPlan PlanJobsForThisProcess(int requested, const std::map<int, ChannelCrowd>& channels,
                                std::uint64_t openFilesPerNode) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        limit.rlim_cur = limit.rlim_max = RLIM_INFINITY;
    }
    const auto plan = [&](rlim_t hard) {
        return PlanJobs(requested, channels, openFilesPerNode, limit.rlim_cur, hard);
    };
    JobsPlan chosen = plan(limit.rlim_max);
    if (chosen.openFiles > limit.rlim_cur) {
        rlimit raised = limit;
        raised.rlim_cur = chosen.openFiles;
        if (::setrlimit(RLIMIT_NOFILE, &raised) != 0) {
            chosen = plan(limit.rlim_cur);
        }
    }
    return chosen;
}

void RunOnChannels(const std::map<int, std::size_t>& nodes, const std::map<int, int>& atOnce,
                   const std::function<void(int channel, std::size_t i)>& run) {
    struct Queue {
        int channel = 0;
        std::size_t size = 0;
        std::atomic<std::size_t> next{0};
        int threads = 0;
    };
    std::deque<Queue> queues;
    std::map<int, Queue*> byChannel;
    for (const auto& [channel, count] : nodes) {
        Queue& queue = queues.emplace_back();
        queue.channel = channel;
        queue.size = count;
        byChannel[channel] = &queue;
    }
    const auto worker = [&run](Queue& queue) {
        for (std::size_t i = queue.next++; i < queue.size; i = queue.next++) {
            run(queue.channel, i);
        }
    };
    std::vector<std::thread> threads;
    for (const auto& [channel, count] : atOnce) {
        const auto queue = byChannel.find(channel);
        if (queue == byChannel.end()) {
            continue;
        }
        for (int i = 0; i < count; ++i) {
            try {
                threads.emplace_back(worker, std::ref(*queue->second));
                ++queue->second->threads;
            } catch (const std::system_error&) {
                break;  // the system gives no more threads: those there are take the nodes
            }
        }
    }
    for (Queue& idle : queues) {
        if (idle.threads == 0) {
            worker(idle);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

}  // namespace host
