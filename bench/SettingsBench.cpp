// CPU cost of the settings-file operations (export, download, factory defaults) on an
// in-memory node, with a desktop that records the mandated pauses but never sleeps. The wall
// time of a real run is this CPU time plus the pauses, reported as the counter pause_ms.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "node/NodeInterfaces.h"
#include "node/NodeLink.h"
#include "node/NodeVariableMap.h"
#include "platform/Desktop.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"

namespace {

// Values per host index; NV 45 shows the part NV 44 selects.
class MemoryNode final : public NodeReader, public NodeWriter {
public:
    MemoryNode() {
        for (const nv::Variable& variable : nv::Variables()) {
            values_[variable.index].assign(static_cast<std::size_t>(variable.size), 0x11);
        }
    }
    HRESULT QueryInterface(const IID&, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override {
        const std::vector<std::uint8_t>* value = Slot(index);
        if (value == nullptr) {
            return E_FAIL;
        }
        std::copy_n(value->begin(), std::min<std::size_t>(value->size(), length), buffer);
        return S_OK;
    }
    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override {
        const std::string name = "Boiler1";
        std::copy_n(name.begin(), std::min<std::size_t>(name.size() + 1, length), buffer);
        return S_OK;
    }
    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override {
        std::vector<std::uint8_t>* value = Slot(index);
        if (value == nullptr) {
            return E_FAIL;
        }
        std::copy_n(buffer, std::min<std::size_t>(value->size(), length), value->begin());
        return S_OK;
    }

private:
    std::vector<std::uint8_t>* Slot(int index) {
        if (index == nv::kPluginCnf) {
            const auto& selector = values_[nv::kPartSelector];
            const int part = selector[0] * 256 + selector[1];
            if (part < 1 || part > nv::kPartCount) {
                return nullptr;
            }
            auto& slot = parts_[part];
            slot.resize(nv::kPartSize, 0x22);
            return &slot;
        }
        const auto it = values_.find(index);
        return it == values_.end() ? nullptr : &it->second;
    }

    std::map<int, std::vector<std::uint8_t>> values_;
    std::map<int, std::vector<std::uint8_t>> parts_;
};

class QuietDesktop final : public platform::Desktop {
public:
    std::string path;
    long pauseMs = 0;

    platform::MessageAnswer MessageBox(const std::string&, const std::string&,
                                       platform::MessageButtons buttons,
                                       platform::MessageIcon) override {
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Yes;
    }
    int RunModal(platform::CDialog&) override { return platform::IDCANCEL; }
    int RunModal(platform::CPropertySheet&) override { return platform::IDCANCEL; }
    std::optional<std::string> OpenFileDialog(const platform::FileDialogRequest&) override {
        return path;
    }
    std::optional<std::string> SaveFileDialog(const platform::FileDialogRequest&) override {
        return path;
    }
    void Sleep(int milliseconds) override { pauseMs += milliseconds; }
    platform::LocalDateTime Now() override { return {}; }
    int StartTimer(int, std::function<void()>) override { return 0; }
    void StopTimer(int) override {}
    void Progress(const std::string&, int, int) override {}
};

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() / "vireo-settings-bench.txt").string();
}

void Report(benchmark::State& state, const QuietDesktop& desktop) {
    state.counters["pause_ms"] = benchmark::Counter(static_cast<double>(desktop.pauseMs),
                                                    benchmark::Counter::kAvgIterations);
}

void BM_Export(benchmark::State& state) {
    MemoryNode node;
    QuietDesktop desktop;
    desktop.path = BenchFile();
    for (auto _ : state) {
        const auto result = settings::ExportOperation(NodeLink(&node, &node), desktop).Run("");
        benchmark::DoNotOptimize(result.written);
    }
    Report(state, desktop);
}

void BM_Download(benchmark::State& state) {
    MemoryNode node;
    QuietDesktop desktop;
    desktop.path = BenchFile();
    settings::ExportOperation(NodeLink(&node, &node), desktop).Run("");
    desktop.pauseMs = 0;
    for (auto _ : state) {
        const auto result =
            settings::DownloadOperation(NodeLink(&node, &node), desktop).Run("Quorka", "");
        if (!result.completed) {
            state.SkipWithError("download did not complete");
            break;
        }
    }
    Report(state, desktop);
}

void BM_FactoryDefaults(benchmark::State& state) {
    MemoryNode node;
    QuietDesktop desktop;
    for (auto _ : state) {
        const auto result =
            settings::FactoryDefaultsOperation(NodeLink(&node, &node), desktop).Run("Quorka");
        benchmark::DoNotOptimize(result.completed);
    }
    Report(state, desktop);
}

BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Download)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FactoryDefaults)->Unit(benchmark::kMillisecond);

}  // namespace
