// A whole site's export over its real channels: `vireo site serve` (a process of its own, so
// that the counters are the host's alone) serves 3 channels of 50 nodes each, and 8 channels of
// 125 (a thousand nodes, meant for a shell with the common limit: `ulimit -n 1024`), on
// 127.0.0.1, each channel pacing its traffic at the FT-10 rate, and every node is exported with
// the real pauses. Counters:
//   x_target     wall time over the larger of one node's pauses (9 s) and the busiest channel's
//                time for its transactions (as the served channels measured it)
//   busiest_s    that channel's time
//   cpu_s        the host process's CPU time (all threads, user and system)
//   peak_rss_mb  the host process's peak resident memory
//   completed    the nodes exported
// Run by hand: about a minute. Arguments: channels, nodes a channel.

#include <benchmark/benchmark.h>

#include "BenchCounters.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>

#include "cli/NetworkCommands.h"
#include "serve/SitePlan.h"
#include "sim/NodeStateFile.h"
#include "site/Site.h"
#include "site/SiteConfigure.h"

namespace {

using bench::CpuSeconds;
using bench::PeakMegabytes;

namespace fs = std::filesystem;

// `vireo site serve` on a folder, read line by line.
class ServedSiteProcess {
public:
    ServedSiteProcess(const fs::path& folder, int channels) {
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            const std::string count = std::to_string(channels);
            ::execl(VIREO_PROGRAM, VIREO_PROGRAM, "site", "serve", folder.c_str(), "--channels",
                    count.c_str(), "--port", "0", "--paced", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        lines_ = ::fdopen(out[0], "r");
    }
    ~ServedSiteProcess() { Stop(); }
    ServedSiteProcess(const ServedSiteProcess&) = delete;
    ServedSiteProcess& operator=(const ServedSiteProcess&) = delete;

    std::string Line() {
        char text[512];
        return std::fgets(text, sizeof text, lines_) != nullptr ? text : "";
    }

    // Stops the server; the busiest channel's seconds of traffic, as it says on stopping.
    double Stop() {
        double busiest = 0;
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            const std::regex carried("Channel [0-9]+ carried ([0-9.e+-]+) s");
            for (std::string line = Line(); !line.empty(); line = Line()) {
                std::smatch match;
                if (std::regex_search(line, match, carried)) {
                    busiest = std::max(busiest, std::stod(match[1]));
                }
            }
            ::waitpid(pid_, nullptr, 0);
            ::fclose(lines_);
            pid_ = -1;
        }
        return busiest;
    }

private:
    pid_t pid_ = -1;
    FILE* lines_ = nullptr;
};

void BM_SiteExport(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const int perChannel = static_cast<int>(state.range(1));
    const fs::path root = fs::temp_directory_path() / "vireo-site-bench";
    fs::remove_all(root);
    fs::create_directories(root / "nodes");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("VIREO_HISTORY", "off", 1);
    std::vector<std::string> names;
    for (int i = 1; i <= channels * perChannel; ++i) {
        host::SimNode node;
        node.SetName("Boiler" + std::to_string(i));
        names.push_back(node.Name());
        host::SaveNodeState((root / "nodes" / (node.Name() + ".json")).string(), node);
    }
    std::vector<host::SitePlace> places;
    host::PlanSite(names, channels, places);
    for (auto _ : state) {
        ServedSiteProcess server(root / "nodes", channels);
        host::Site site;
        site.name = "bench";
        const std::regex link("Channel ([0-9]+): (lonip://[^,]+),");
        while (static_cast<int>(site.links.size()) < channels) {
            std::smatch match;
            const std::string line = server.Line();
            if (line.empty()) {
                state.SkipWithError("vireo site serve did not start");
                return;
            }
            if (std::regex_search(line, match, link)) {
                site.links.push_back({std::stoi(match[1]), match[2], 0, false, 3, 10});
            }
        }
        // The table of its nodes follows; it stops on SIGTERM only once it has printed it all.
        for (std::string line = server.Line();
             !line.empty() && !line.starts_with("Forwarding") && !line.starts_with("Open:");
             line = server.Line()) {
        }
        for (const host::SitePlace& place : places) {
            site.nodes.push_back(
                {names[place.node], place.neuronId, place.address, place.channel, "", ""});
        }
        fs::remove(host::SitePath("bench"));
        host::CreateSite(host::SitePath("bench"), site);
        // The served routers are strict: this PC becomes a member of their channel first.
        std::vector<host::ConfiguredMember> members;
        if (!host::ConfigureSiteChannel("bench", {}, {}, members, nullptr).empty() ||
            !std::all_of(members.begin(), members.end(),
                         [](const host::ConfiguredMember& m) { return m.acknowledged; })) {
            state.SkipWithError("vireo site configure failed");
            return;
        }

        host::NetworkOptions options;
        options.site = "bench";
        options.outDir = (root / "out").string();
        options.json = true;
        options.command.force = true;
        options.command.progress = host::ProgressStyle::Quiet;
        std::ostringstream out;
        std::ostringstream err;
        const double cpu = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        host::RunNetworkExport(options, out, err);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpuUsed = CpuSeconds() - cpu;
        const double busiest = server.Stop();
        const auto summary = nlohmann::json::parse(out.str(), nullptr, false);
        state.counters["x_target"] = seconds / std::max(9.0, busiest);
        state.counters["busiest_s"] = busiest;
        state.counters["cpu_s"] = cpuUsed;
        state.counters["peak_rss_mb"] = PeakMegabytes();
        state.counters["completed"] = summary.is_object() ? summary.value("completed", 0) : 0;
    }
    fs::remove_all(root);
}

BENCHMARK(BM_SiteExport)
    ->Args({3, 50})
    ->Args({8, 125})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
