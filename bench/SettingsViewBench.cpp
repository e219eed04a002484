// CPU cost of `vireo show` and `vireo diff A B` on two settings files of the full 19 blocks:
// reading each file as the download would, decoding every field, and printing the result.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/ViewCommands.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/ExportOperation.h"
#include "sim/SimNode.h"

namespace {

// Two exports of the simulated node, the second with its override codes changed.
struct BenchFiles {
    std::string a = (std::filesystem::temp_directory_path() / "vireo-view-bench-a.txt").string();
    std::string b = (std::filesystem::temp_directory_path() / "vireo-view-bench-b.txt").string();

    BenchFiles() {
        host::SimNode node;
        Export(node, a);
        node.SetRaw(nv::kSwitchExt1, {0x00, 0x03});
        node.SetRaw(nv::kSwitchExt2, {0x00, 0x05});
        Export(node, b);
    }

    static void Export(host::SimNode& node, const std::string& path) {
        platform::ScriptedDesktop desktop;
        desktop.QueueFile(path);
        desktop.QueueAnswer(true);  // overwrite the file of an earlier run
        settings::ExportOperation(host::SimLink(node).Link(), desktop).Run("");
    }
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

void BM_Show(benchmark::State& state) {
    const BenchFiles& files = Files();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = host::RunShowCommand(files.a, state.range(0) != 0, out, err);
        benchmark::DoNotOptimize(status);
    }
}

void BM_DiffFiles(benchmark::State& state) {
    const BenchFiles& files = Files();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (host::RunDiffFilesCommand(files.a, files.b, out, err) != host::kViewDifferent) {
            state.SkipWithError("the files should differ");
            break;
        }
    }
}

BENCHMARK(BM_Show)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffFiles)->Unit(benchmark::kMillisecond);

}  // namespace
