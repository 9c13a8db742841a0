// How long the Recognition Statistics window takes to open on a long run, and to sort it by each
// column. Not a test: run it by hand (target page_stats_dlg_bench, with QUILLRUN_BUILD_BENCH).
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QHeaderView>
#include <QTableView>

#include "engine/page_stats.h"
#include "ui/shell/page_stats_compare.h"
#include "ui/shell/page_stats_dlg.h"
#include "ui/shell/page_stats_model.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kPagesPerDocument = 4;

// A long run: documents of four pages in a few hundred folders, in the order a search finds them.
void FillLongRun() {
    quillrun::ResetPageStats();
    quillrun::g_pageStats.reserve(kRecords);
    for (int record = 0; record < kRecords; ++record) {
        const int document = record / kPagesPerDocument;
        quillrun::PageStats page;
        char name[96];
        std::snprintf(name, sizeof name, "/srv/documents/2024/box%03d/Scan-%06d.orx",
                      (document * 7919) % 500, (document * 104729) % 1000000);
        page.m_fileName = name;
        page.m_page = record % kPagesPerDocument + 1;
        page.m_characters = (record * 7907) % 4000;
        page.m_confidence = static_cast<float>((record * 6007) % 10001) / 100.0f;
        quillrun::g_pageStats.push_back(page);
    }
}

void BM_OpenStatisticsWindow(benchmark::State& state) {
    FillLongRun();
    for (auto _ : state) {
        quillrun::ui::CPageStatsDlg dialog;
        dialog.show();
        dialog.list()->viewport()->repaint();
        benchmark::DoNotOptimize(dialog.model()->rowCount());
    }
}
BENCHMARK(BM_OpenStatisticsWindow)->Unit(benchmark::kMillisecond);

// A click on a heading: the sort, the view following it and one repaint.
void BM_SortByHeading(benchmark::State& state) {
    FillLongRun();
    const int column = static_cast<int>(state.range(0));
    quillrun::ui::CPageStatsDlg dialog;
    dialog.show();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.model()->sort((column + 1) % quillrun::ui::kPageStatsColumnCount);
        state.ResumeTiming();
        emit dialog.list()->horizontalHeader()->sectionClicked(column);
        dialog.list()->viewport()->repaint();
    }
}
BENCHMARK(BM_SortByHeading)
    ->ArgName("column")
    ->DenseRange(0, quillrun::ui::kPageStatsColumnCount - 1)
    ->Unit(benchmark::kMillisecond);

// The same with every row selected (Ctrl+A): the selection follows its records through the sort.
void BM_SortWithEveryRowSelected(benchmark::State& state) {
    FillLongRun();
    const int column = static_cast<int>(state.range(0));
    quillrun::ui::CPageStatsDlg dialog;
    dialog.show();
    dialog.list()->selectAll();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.model()->sort((column + 1) % quillrun::ui::kPageStatsColumnCount);
        state.ResumeTiming();
        emit dialog.list()->horizontalHeader()->sectionClicked(column);
        dialog.list()->viewport()->repaint();
    }
}
BENCHMARK(BM_SortWithEveryRowSelected)
    ->ArgName("column")
    ->DenseRange(0, quillrun::ui::kPageStatsColumnCount - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
