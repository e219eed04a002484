// The write history's own costs: one write recorded as it happens (a transaction of its own in
// the write-ahead log, not flushed to the disk), from one thread and from many nodes' threads
// sharing the process's connection, and `vireo history` listing 100000 rows, with the
// process's peak memory (peak_rss_mb). The database goes to the temporary folder (TMPDIR).

#include <benchmark/benchmark.h>

#include "BenchCounters.h"

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <streambuf>

#include "cli/HistoryCommand.h"
#include "history/HistoryStore.h"
#include "node/NodeVariableMap.h"

namespace {

using bench::PeakMegabytes;

namespace fs = std::filesystem;

std::string FreshHistory(const char* name) {
    const fs::path path = fs::temp_directory_path() / name;
    for (const char* end : {"", "-wal", "-shm"}) {
        fs::remove(path.string() + end);
    }
    return path.string();
}

node::WriteEvent PartWrite(int part) {
    return {
        1700000000000, "Download from file", nv::kPluginCnf, part, node::Bytes(nv::kPartSize, 0xAA),
        true,          std::nullopt};
}

// threads > 1: the nodes of a command on many nodes, each its own operation, one connection.
void BM_RecordWrite(benchmark::State& state) {
    static std::shared_ptr<history::Store> store;
    if (state.thread_index() == 0) {
        std::string error;
        store = history::Store::Shared(FreshHistory("vireo-history-bench.sqlite"), error);
    }
    std::int64_t operation = 0;
    std::string error;
    int part = 0;
    for (auto _ : state) {
        if (!store->AppendWrite("Boiler1", operation, 0, PartWrite(part++ % 12 + 1), error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        store.reset();
    }
}

// Counts what it is given and keeps nothing.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_ListHistory(benchmark::State& state) {
    const std::string path = FreshHistory("vireo-history-list-bench.sqlite");
    {
        std::string error;
        const auto store = history::Store::OpenForWriting(path, error);
        const std::vector<node::WriteEvent> operation(1000, PartWrite(3));
        for (int i = 0; i < state.range(0) / 1000; ++i) {
            store->Append("Boiler1", operation, error);
        }
    }
    setenv("VIREO_HISTORY", path.c_str(), 1);
    NullBuffer nothing;
    std::ostream out(&nothing);
    for (auto _ : state) {
        host::RunHistoryCommand({}, out, out);
    }
    state.counters["peak_rss_mb"] = PeakMegabytes();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_RecordWrite)->Unit(benchmark::kMicrosecond)->Threads(1)->Threads(8);
BENCHMARK(BM_ListHistory)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
