// CPU cost of the settings-file operations (export, download, factory defaults) on the
// simulated node, with the scripted desktop that records the mandated pauses but never sleeps.
// The wall time of a real run is this CPU time plus the pauses, reported as the counter
// pause_ms. The runs with history = 1 add the write history's cost, the download with
// state_file = 1 the cost of keeping the node's state in its shared state file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <numeric>
#include <optional>
#include <string>

#include "framework/ScriptedDesktop.h"
#include "history/HistoryRecorder.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() / "vireo-settings-bench.txt").string();
}

// The pauses of all iterations, summed without overflowing the desktop's int total.
void Report(benchmark::State& state, const platform::ScriptedDesktop& desktop) {
    const long pauseMs = std::accumulate(desktop.Sleeps().begin(), desktop.Sleeps().end(), 0L);
    state.counters["pause_ms"] =
        benchmark::Counter(static_cast<double>(pauseMs), benchmark::Counter::kAvgIterations);
}

// state_file = 1: the node's state kept in its state file, as the command line keeps it: every
// write (the export writes only the part selector) locked, checked for another process's
// changes, saved and synced.
std::optional<host::StateFileStore> KeepInStateFile(benchmark::State& state, host::SimNode& node,
                                                    int arg) {
    std::optional<host::StateFileStore> store;
    if (state.range(arg) != 0) {
        const std::string path =
            (std::filesystem::temp_directory_path() / "vireo-settings-bench-node.json").string();
        host::SaveNodeState(path, node);
        store.emplace(path);
        node.store = &*store;
    }
    return store;
}

void BM_Export(benchmark::State& state) {
    host::SimNode node;
    const host::SimLink link(node);
    platform::ScriptedDesktop desktop;
    const auto store = KeepInStateFile(state, node, 0);
    for (auto _ : state) {
        desktop.QueueFile(BenchFile());
        desktop.QueueAnswer(true);  // overwrite the file of the run before
        const auto result = settings::ExportOperation(link.Link(), desktop).Run("");
        benchmark::DoNotOptimize(result.written);
    }
    Report(state, desktop);
}

// The write history recording into a fresh database, for the runs that take state.range(0) = 1:
// the CPU time it adds per run, next to the pauses a real run keeps (pause_ms), and per write
// (writes).
std::string HistoryFile() {
    const auto path = std::filesystem::temp_directory_path() / "vireo-settings-bench.sqlite";
    std::filesystem::remove(path);
    return path.string();
}

struct History {
    explicit History(bool on)
        : recorder(HistoryFile(), nullptr), installed(on ? &recorder : nullptr) {}
    history::HistoryRecorder recorder;
    history::InstalledRecorder installed;
};

void ReportWrites(benchmark::State& state, int writes) {
    state.counters["writes"] =
        benchmark::Counter(static_cast<double>(writes), benchmark::Counter::kAvgIterations);
}

void BM_Download(benchmark::State& state) {
    host::SimNode node;
    const host::SimLink link(node);
    platform::ScriptedDesktop desktop;
    desktop.QueueFile(BenchFile());
    desktop.QueueAnswer(true);
    settings::ExportOperation(link.Link(), desktop).Run("");
    desktop.Clear();
    const History history(state.range(0) != 0);
    const auto store = KeepInStateFile(state, node, 1);
    int writes = 0;
    for (auto _ : state) {
        desktop.QueueFile(BenchFile());
        desktop.QueueAnswer(true);  // download from file to node
        const auto result = settings::DownloadOperation(link.Link(), desktop).Run("Quorka", "");
        if (!result.Completed() || history.recorder.IsOff()) {
            state.SkipWithError("download did not complete or the history went off");
            break;
        }
        writes += result.writtenVariables;
    }
    Report(state, desktop);
    ReportWrites(state, writes);
}

void BM_FactoryDefaults(benchmark::State& state) {
    host::SimNode node;
    const host::SimLink link(node);
    platform::ScriptedDesktop desktop;
    const History history(state.range(0) != 0);
    for (auto _ : state) {
        const auto result = settings::FactoryDefaultsOperation(link.Link(), desktop).Run("Quorka");
        benchmark::DoNotOptimize(result.Completed());
    }
    Report(state, desktop);
    ReportWrites(state, static_cast<int>(state.iterations()) * (7 + nv::kPartCount));
}

BENCHMARK(BM_Export)->ArgName("state_file")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Download)
    ->ArgNames({"history", "state_file"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FactoryDefaults)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
