// The export, the download and the factory defaults over a LON/IP channel on 127.0.0.1, the
// served node answering at the FT-10 channel's pace (each frame its own length at 78.125
// kbit/s, 70 % of the channel usable), against the same operation on the in-process simulated
// node, both kept in their state files as the command line and `vireo node serve` keep them.
// The mandated pauses are counted, not made. Counters:
//   channel_s     the channel's time for the operation's transactions
//   pauses_s      the pauses the operation asked for
//   x_target      (wall time + pauses) over (pauses + channel time): the target is 1.05 at most
//   cpu_ms        the process's CPU time for one operation (both ends of the link)
//   x_cpu         that over the in-process command's CPU time
//   x_host_cpu    the host's side alone (this thread: the plug-in, the link, the sockets) over the
//                 in-process command's CPU time, which holds the simulated node's work too: the
//                 target is 2 at most; the served node stands for the controller, whose work
//                 (saving every selection in its state file) is not the host's
// Run by hand: bench/LinkBench (about half a minute).

#include <benchmark/benchmark.h>

#include "BenchCounters.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "cli/Commands.h"
#include "host/ClientSite.h"
#include "link/LonNode.h"
#include "serve/NodeServer.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

using bench::CpuSeconds;

enum class Op { Export, Download, Defaults };

const std::filesystem::path& Folder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "vireo-link-bench";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// The settings file the download reads: the factory node's export.
std::string SourceFile() {
    static const std::string file = [] {
        const std::string path = (Folder() / "source.txt").string();
        host::SimNode node;
        std::ostringstream log;
        host::ConsoleDesktop desktop(path, false, log);
        desktop.sleep = [](int) {};
        const host::SimLink link(node);
        host::ExportTo(path)(link.Link(), desktop);
        return path;
    }();
    return file;
}

host::NodeOperation Operation(Op op) {
    switch (op) {
        case Op::Export:
            return host::ExportTo((Folder() / "export.txt").string());
        case Op::Download:
            return host::DownloadFrom(SourceFile(), "Quorka");
        case Op::Defaults:
            return host::RestoreDefaults("Quorka");
    }
    return {};
}

// A fresh node kept in its state file, as the command line and the served node keep it.
std::string FreshStateFile(const char* name) {
    const std::string path = (Folder() / name).string();
    std::filesystem::remove(path);
    host::SimNode node;
    host::SaveNodeState(path, node);
    return path;
}

// One operation on the in-process node of a state file, as the command line runs it: its CPU
// time.
double InProcessCpu(Op op) {
    const std::string path = FreshStateFile("in-process.json");
    host::OpenedNode opened;
    host::OpenNode(host::NodeTarget::Simulated(path), {}, opened);
    std::ostringstream log;
    host::ConsoleDesktop desktop(op == Op::Download ? SourceFile() : "", true, log);
    desktop.sleep = [](int) {};
    const double start = CpuSeconds();
    host::RunOnNode(opened, desktop, Operation(op), [](const std::string&) {});
    return CpuSeconds() - start;
}

void BM_OverTheLink(benchmark::State& state) {
    const auto op = static_cast<Op>(state.range(0));
    double wall = 0, channel = 0, pauses = 0, cpu = 0, hostCpu = 0, inProcess = 0;
    for (auto _ : state) {
        const std::string path = FreshStateFile("served.json");
        host::SimNode node;
        host::LoadNodeState(path, node);
        host::StateFileStore store(path);
        node.store = &store;
        host::ServingThread served(node, {}, {}, {.paced = true});
        host::LinkSettings settings;
        settings.router = "127.0.0.1";
        settings.port = served.Port();
        settings.node.node = {1, 5};
        host::LonNode linked(settings);
        std::ostringstream log;
        const std::string file =
            op == Op::Download ? SourceFile() : (Folder() / "export.txt").string();
        host::ConsoleDesktop desktop(file, true, log);
        int pausedMs = 0;
        desktop.sleep = [&pausedMs](int ms) { pausedMs += ms; };
        const double cpuStart = CpuSeconds();
        const double hostStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const auto start = std::chrono::steady_clock::now();
        if (host::OpenLinkedNode(linked) ||
            !host::RunOnLinkedNode(linked, desktop, Operation(op), [](const std::string&) {
             }).completed) {
            state.SkipWithError("the operation over the link did not complete");
            break;
        }
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += CpuSeconds() - cpuStart;
        hostCpu += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - hostStart;
        served.Stop();
        channel += served.ChannelSeconds();
        pauses += pausedMs / 1000.0;
        inProcess += InProcessCpu(op);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["channel_s"] = channel / n;
    state.counters["pauses_s"] = pauses / n;
    state.counters["x_target"] = (wall + pauses) / (pauses + channel);
    state.counters["cpu_ms"] = 1000 * cpu / n;
    state.counters["x_cpu"] = cpu / inProcess;
    state.counters["x_host_cpu"] = hostCpu / inProcess;
}
BENCHMARK(BM_OverTheLink)
    ->ArgName("op")
    ->Arg(static_cast<int>(Op::Export))
    ->Arg(static_cast<int>(Op::Download))
    ->Arg(static_cast<int>(Op::Defaults))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
