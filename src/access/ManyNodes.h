#pragma once
// Running one operation on many nodes at once: how many nodes each channel carries at a time,
// within the process's open-file limit, and the threads that take each channel's nodes one after
// the other. The command line's runs on a network or a site plan and run through it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace host {

// What one node's run of an operation asks of the channel: its transactions, spread over its
// pauses. Together they say how many nodes the channel carries at once before it, not the
// pauses, sets the time.
struct ChannelUse {
    int transactions;
    double pauseSeconds;
};

// The most nodes run at once when nothing else bounds them (a channel without a limit): each is
// a thread with its stack and a few open files.
inline constexpr int kMostNodesAtOnce = 1000;

// The nodes of the simulated network's channel that run at once by default: as many as keep it
// busy. Nodes that start together run in step, each asking its next transaction after the same
// pause, so the channel needs more of them than its share of the pauses suggests: as many as it
// carries transactions within a link's transmit timer (the time a real channel may let a node
// wait), or more where the pauses hold more of them (the factory defaults). Without a limit,
// kMostNodesAtOnce.
int SimulatedNodesAtOnce(double channelRate, ChannelUse use);

// At most `most` of `nodes` at once, spread evenly over the rounds that takes: 125 nodes, at
// most 60 at once, run 42 at once, so that no last round of a few nodes leaves the channel idle
// while they pause.
int EvenlyAtOnce(int nodes, int most);

// One channel of a run: its nodes ready to run and the most of them it carries at once.
struct ChannelCrowd {
    int nodes = 0;
    int most = kMostNodesAtOnce;
};

// How many nodes run at once, on each channel and in all, and the open-file limit they need.
struct JobsPlan {
    int jobs = 0;
    std::map<int, int> atOnce;    // by channel
    std::uint64_t openFiles = 0;  // the soft limit to set before the run; 0: the one there is
    std::string note;             // one line when the limit lowered the jobs
};
// requested: --jobs, the nodes at once in all, 0 for the default (every channel as many as it
// carries, spread evenly over the rounds); never more than a channel carries or has. Each node
// holds up to openFilesPerNode files; soft and hard are the open-file limits as getrlimit gives
// them: the soft one is raised to the hard one when the jobs need more, and when even that is
// too little the jobs are lowered and shared among the channels.
JobsPlan PlanJobs(int requested, const std::map<int, ChannelCrowd>& channels,
                  std::uint64_t openFilesPerNode, std::uint64_t soft, std::uint64_t hard);
// The same for this process: its open-file limit raised as the plan needs, or, where the system
// refuses, the plan within the limit there is.
JobsPlan PlanJobsForThisProcess(int requested, const std::map<int, ChannelCrowd>& channels,
                                std::uint64_t openFilesPerNode);

// Runs each channel's nodes (run(channel, i) runs the channel's i-th) on as many threads as
// atOnce gives the channel, its threads taking the nodes one after the other; a channel that
// got no thread runs its nodes on the calling thread. Returns when every node ran.
void RunOnChannels(const std::map<int, std::size_t>& nodes, const std::map<int, int>& atOnce,
                   const std::function<void(int channel, std::size_t i)>& run);

}  // namespace host
