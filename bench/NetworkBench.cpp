// Operations on many nodes of a simulated network, with the real pauses: the wall time of an
// export and of a download into 1 and 100 nodes, the process's CPU time and peak memory, and
// the load of the network's channel. Arguments: nodes, channel rate (node transactions a
// second; 200 is the default twisted-pair channel, 3200 a 1.25 Mbit/s twisted-pair channel,
// 0 no limit), files (1: every node write saved to the node's state file as the command line
// does; 0: the nodes' state kept in memory, which measures the command apart from the
// simulated nodes' files, as with real nodes). Counters:
//   x_pauses      wall time over one node's pauses (9 s for an export, 15 s for a download)
//   cpu_s         the process's CPU time (all threads, user and system)
//   peak_rss_mb   the process's peak resident memory so far
//   channel_load  the share of the channel's capacity the run used
//   channel_from  the node count from which the channel, not the pauses, sets the time: the
//                 pauses times the rate over the transactions of one node
//   peak_fds      the most descriptors the process had open at once (sampled every 20 ms)
//   fd_limit      the open-file limit after the run (the command raises the soft one as needed)
// The thousand-node case runs on a channel without a limit, meant for a shell with the common
// soft limit: `ulimit -Sn 1024`. The write history goes to a database of the run's own unless
// VIREO_HISTORY=off, which measures the command without it.
// The state files go to the temporary folder (TMPDIR): on disk every node write is an fsynced
// file replacement; TMPDIR=/dev/shm measures Vireo without the disk.
// Run by hand: it takes about three minutes; --benchmark_filter=/1000/ runs the thousand nodes.

#include <benchmark/benchmark.h>

#include "BenchCounters.h"

#include <dirent.h>
#include <sys/resource.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>

#include "cli/NetworkCommands.h"
#include "sim/Channel.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

using bench::CpuSeconds;
using bench::PeakMegabytes;

namespace fs = std::filesystem;

// The descriptors the process has open now.
int OpenDescriptors() {
    DIR* folder = ::opendir("/proc/self/fd");
    if (folder == nullptr) {
        return 0;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(folder)) {
        count += entry->d_name[0] != '.' ? 1 : 0;
    }
    ::closedir(folder);
    return count - 1;  // the folder's own
}

// Samples the open descriptors on a thread of its own while it lives; Peak() is the most seen.
class DescriptorPeak {
public:
    DescriptorPeak()
        : thread_([this] {
              while (!done_) {
                  peak_ = std::max(peak_.load(), OpenDescriptors());
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~DescriptorPeak() { Stop(); }
    DescriptorPeak(const DescriptorPeak&) = delete;
    DescriptorPeak& operator=(const DescriptorPeak&) = delete;
    int Peak() {
        Stop();
        return peak_;
    }

private:
    void Stop() {
        done_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::atomic<bool> done_{false};
    std::atomic<int> peak_{0};
    std::thread thread_;
};

// A fresh network of the given size, its history and its export folder.
struct Network {
    explicit Network(int nodes) : root(fs::temp_directory_path() / "vireo-network-bench") {
        fs::remove_all(root);
        fs::create_directories(root / "nodes");
        const char* history = std::getenv("VIREO_HISTORY");
        if (history == nullptr || std::strcmp(history, "off") != 0) {
            setenv("VIREO_HISTORY", (root / "history.sqlite").c_str(), 1);
        }
        for (int i = 1; i <= nodes; ++i) {
            host::SimNode node;
            node.SetName("Boiler" + std::to_string(i));
            host::SaveNodeState((root / "nodes" / (node.Name() + ".json")).string(), node);
        }
    }
    ~Network() { fs::remove_all(root); }
    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;

    fs::path root;
};

using Command = int (*)(host::NetworkOptions, std::ostream&, std::ostream&);

void Run(benchmark::State& state, Command command, double pauseSeconds, bool download) {
    const int nodes = static_cast<int>(state.range(0));
    const Network network(nodes);
    host::NetworkOptions options;
    options.network = (network.root / "nodes").string();
    options.outDir = (network.root / "out").string();
    options.channelRate = static_cast<double>(state.range(1));
    options.keepStateFiles = state.range(2) != 0;
    options.json = true;
    options.command.password = "Quorka";
    options.command.force = true;
    options.command.progress = host::ProgressStyle::Quiet;
    if (download) {
        host::NetworkOptions one = options;
        one.names = {"Boiler1"};
        one.outDir = (network.root / "source").string();
        one.channelRate = 0;
        one.command.sleep = [](int) {};
        std::ostringstream ignored;
        host::RunNetworkExport(one, ignored, ignored);
        options.command.file = (network.root / "source" / "Boiler1.txt").string();
    }
    std::ostringstream out;
    std::ostringstream err;
    int status = 0;
    const double cpuBefore = CpuSeconds();
    DescriptorPeak descriptors;
    for (auto _ : state) {
        status = command(options, out, err);
    }
    const double cpu = CpuSeconds() - cpuBefore;
    state.counters["peak_fds"] = descriptors.Peak();
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    state.counters["fd_limit"] = static_cast<double>(limit.rlim_cur);
    if (status != 0) {
        state.SkipWithError(("the run failed: " + out.str() + err.str()).c_str());
        return;
    }
    const auto summary = nlohmann::json::parse(out.str());
    const double seconds = summary["seconds"];
    const double transactions = summary["channel"]["transactions"];
    state.counters["nodes"] = nodes;
    state.counters["x_pauses"] = seconds / pauseSeconds;
    state.counters["cpu_s"] = cpu;
    state.counters["peak_rss_mb"] = PeakMegabytes();
    state.counters["channel_load"] = summary["channel"]["load"].get<double>();
    state.counters["transactions"] = transactions;
    if (options.channelRate > 0) {
        state.counters["channel_from"] = pauseSeconds * options.channelRate * nodes / transactions;
    }
}

void BM_Export(benchmark::State& state) {
    Run(state, host::RunNetworkExport, 9, false);
}
void BM_Download(benchmark::State& state) {
    Run(state, host::RunNetworkDownload, 15, true);
}

// One node and 100 nodes on the default channel, 100 on a fast channel with and without the
// state files, 1000 on a channel without a limit.
void Cases(benchmark::internal::Benchmark* b) {
    const auto twistedPair = static_cast<std::int64_t>(host::kTwistedPairTransactionsPerSecond);
    for (const std::vector<std::int64_t>& args : {std::vector<std::int64_t>{1, twistedPair, 1},
                                                  {100, twistedPair, 1},
                                                  {100, 3200, 1},
                                                  {100, 3200, 0},
                                                  {1000, 0, 1}}) {
        b->Args(args);
    }
}

BENCHMARK(BM_Export)
    ->Apply(Cases)
    ->ArgNames({"nodes", "rate", "files"})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_Download)
    ->Apply(Cases)
    ->ArgNames({"nodes", "rate", "files"})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
