// Opening the sheet: construction to the first tab shown, and a live refresh with the trend
// shown, on the simulated node with the scripted desktop (pauses recorded, not slept, timers
// ticked by hand). Reports CPU time and peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>
#include <QApplication>
#include <QDialog>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "control/VireoCtrl.h"
#include "control/VireoModule.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "page/NodePage.h"
#include "res/ControlIds.h"
#include "sheet/Sheet.h"
#include "sim/SimNode.h"

namespace {

using vireo::CNodePage;
using vireo::CSheet;

// The live refresh's period, as the pages' timer 1 runs it.
constexpr int kTickSeconds = 2;
constexpr int kTicksPerTenMinutes = 600 / kTickSeconds;
constexpr int kTicksPerHour = 3600 / kTickSeconds;

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

// The PC clock `seconds` after midnight of a fixed day, as the scripted desktop gives it.
platform::LocalDateTime ClockAt(long seconds) {
    using namespace std::chrono;
    const sys_days day0{year{2026} / December / 7};
    const sys_seconds at = day0 + std::chrono::seconds{seconds};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count())};
}

// The page's timer 1 ticks `ticks` times, the PC clock moving on by the period each time and
// the outdoor temperature (NV 13) moving through 5.00 to 9.90 degrees, so the trend changes.
struct Clock {
    void Tick(Bench& bench, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            seconds += kTickSeconds;
            const int outdoor = 500 + static_cast<int>(seconds / kTickSeconds % 50) * 10;
            bench.node.SetRaw(
                13, {static_cast<std::uint8_t>(outdoor >> 8), static_cast<std::uint8_t>(outdoor)});
            bench.desktop.SetNow(ClockAt(seconds));
            bench.desktop.TickAll();
            // The window, when shown, repaints what the tick changed, as the GUI's loop does.
            QApplication::processEvents();
        }
    }
    long seconds = 0;
};

// The shown page when it has live values, with its trend chart shown; otherwise null.
CNodePage* ShowTrend(CSheet& sheet) {
    auto* page = dynamic_cast<CNodePage*>(sheet.GetActivePage());
    if (page == nullptr || !page->HasDlgItem(res::common::kTrend)) {
        return nullptr;
    }
    if (page->IsDlgButtonChecked(res::common::kTrend) == 0) {
        page->ClickDlgItem(res::common::kTrend);
    }
    return page;
}

// The resident memory now, from /proc/self/statm.
double ResidentMB() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

void ShowEveryTab(CSheet& sheet) {
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
    }
}

void BM_OpenSheet(benchmark::State& state) {
    Bench bench;
    double pausesMs = 0;
    for (auto _ : state) {
        CSheet sheet("Vireo", nullptr, 0, bench.site);
        sheet.Create();
        benchmark::DoNotOptimize(sheet.GetActivePage());
        sheet.Close();
        pausesMs += bench.desktop.TotalSleepMs();
        bench.desktop.Clear();
    }
    // The node's pauses the scripted desktop recorded instead of sleeping, per opening.
    state.counters["node_pauses_ms"] =
        benchmark::Counter(pausesMs, benchmark::Counter::kAvgIterations);
    ReportPeakMemory(state);
}
BENCHMARK(BM_OpenSheet)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Every tab of both page sets shown once, as `vireo --screenshot` does without the pictures.
void BM_ShowEveryTab(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        CSheet sheet("Vireo", nullptr, 0, bench.site);
        sheet.Create();
        ShowEveryTab(sheet);
        sheet.SetActivePage(0);
        sheet.nodeInfo.ClickDlgItem(235);
        ShowEveryTab(sheet);
        sheet.Close();
        bench.desktop.Clear();
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_ShowEveryTab)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One tick of the live refresh on the page of set 1 with the most live values, its trend shown
// and full (ten minutes of samples), the sheet's window shown offscreen: the node's reads, the
// trend's sample, the chart's series and the repaint.
void BM_RefreshTickWithTrend(benchmark::State& state) {
    Bench bench;
    CSheet sheet("Vireo", nullptr, 0, bench.site);
    sheet.Create();
    int busiest = -1;
    std::size_t mostSeries = 0;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
        if (ShowTrend(sheet) != nullptr) {
            const auto* page = static_cast<CNodePage*>(sheet.GetActivePage());
            if (page->Trend().SeriesNames().size() > mostSeries) {
                mostSeries = page->Trend().SeriesNames().size();
                busiest = i;
            }
        }
    }
    if (busiest < 0) {
        state.SkipWithError("no page with live values");
        return;
    }
    sheet.SetActivePage(busiest);
    sheet.Window()->show();
    const auto* page = static_cast<CNodePage*>(sheet.GetActivePage());
    Clock clock;
    clock.Tick(bench, kTicksPerTenMinutes);
    if (state.range(0) == 0) {
        sheet.GetActivePage()->ClickDlgItem(res::common::kTrend);  // the same tick, trend hidden
    }
    for (auto _ : state) {
        clock.Tick(bench, 1);
        bench.desktop.Clear();
    }
    state.SetLabel(page->Caption());
    state.counters["series"] = static_cast<double>(mostSeries);
    state.counters["samples"] =
        static_cast<double>(page->Trend().Samples(page->Trend().SeriesNames().front()).size());
    sheet.Close();
}
BENCHMARK(BM_RefreshTickWithTrend)
    ->ArgName("trend_shown")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// Every page of both sets visited, each page with live values left with its trend shown for an
// hour of refreshes: the trend keeps ten minutes, so memory stays flat. Run it on its own
// (--benchmark_filter) for its peak resident memory.
void BM_HourOfTrendOnEveryPage(benchmark::State& state) {
    Bench bench;
    Clock clock;
    int trendPages = 0;
    double growth = 0;  // the most a page's last 50 minutes added to resident memory
    for (auto _ : state) {
        CSheet sheet("Vireo", nullptr, 0, bench.site);
        sheet.Create();
        sheet.Window()->show();
        for (int set = 0; set < 2; ++set) {
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                sheet.SetActivePage(i);
                if (ShowTrend(sheet) != nullptr) {
                    clock.Tick(bench, kTicksPerTenMinutes);
                    const double full = ResidentMB();
                    clock.Tick(bench, kTicksPerHour - kTicksPerTenMinutes);
                    growth = std::max(growth, ResidentMB() - full);
                    ++trendPages;
                    bench.desktop.Clear();
                }
            }
            if (set == 0) {
                sheet.SetActivePage(0);
                sheet.nodeInfo.ClickDlgItem(235);
            }
        }
        sheet.Close();
        bench.desktop.Clear();
    }
    state.counters["trend_pages"] = trendPages;
    state.counters["hour_growth_MB"] = growth;
    ReportPeakMemory(state);
}
BENCHMARK(BM_HourOfTrendOnEveryPage)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(1);

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
