// Opening the sheet: construction to the first tab shown, on the simulated node with the
// scripted desktop (pauses recorded, not slept). Reports CPU time and peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QApplication>
#include <cstdlib>

#include "control/VireoCtrl.h"
#include "control/VireoModule.h"
#include "host/ClientSite.h"
#include "host/SimNode.h"
#include "platform/ScriptedDesktop.h"
#include "sheet/Sheet.h"

namespace {

using vireo::CSheet;

// The simulated node behind a client site, the control and the scripted desktop, as the
// properties verb finds them.
struct Bench {
    Bench() {
        site = new host::ClientSite(node, host::Offer::Both);
        control.SetClientSite(site);
        g_pCurrentControl = &control;
        platform::Desktop::SetCurrent(&desktop);
    }
    ~Bench() {
        platform::Desktop::SetCurrent(nullptr);
        control.SetClientSite(nullptr);
        site->Release();
    }
    host::SimNode node;
    host::ClientSite* site;
    CVireoCtrl control;
    platform::ScriptedDesktop desktop;
};

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ShowEveryTab(CSheet& sheet) {
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
    }
}

void BM_OpenSheet(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        CSheet sheet("Vireo", nullptr, 0);
        sheet.Create();
        benchmark::DoNotOptimize(sheet.GetActivePage());
        sheet.Close();
        bench.desktop.Clear();
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_OpenSheet)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Every tab of both page sets shown once, as `vireo --screenshot` does without the pictures.
void BM_ShowEveryTab(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        CSheet sheet("Vireo", nullptr, 0);
        sheet.Create();
        ShowEveryTab(sheet);
        sheet.SetActivePage(0);
        sheet.m_Page1.ClickDlgItem(235);
        ShowEveryTab(sheet);
        sheet.Close();
        bench.desktop.Clear();
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_ShowEveryTab)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // The sheet runs inside the module's state, as the control's properties verb runs it.
    platform::ManageModuleState module(vireo::ModuleState());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
