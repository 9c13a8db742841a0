// Figure 6: the Recognition Statistics window on a long run: opening it, and sorting it by a
// click on each heading, at 100,000 and 1,000,000 page records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include <QCoreApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>

#include "app/page_stats_compare.h"
#include "bench_workspace.h"
#include "engine/page_stats.h"
#include "engine/statistics_line.h"
#include "ui/shell/page_stats_dlg.h"
#include "ui/shell/page_stats_model.h"

namespace quillrun::bench {
namespace {

constexpr int kPagesPerDocument = 10;

// The records a long run leaves: documents of ten pages in the order the search found them.
const PageStatsTable& HoldRecords(std::size_t records) {
    static PageStatsTable held;
    if (held.size() == records) {
        return held;
    }
    held = PageStatsTable();
    unsigned seed = 2024;
    for (std::size_t record = 0; record < records; ++record) {
        const std::size_t document = record / kPagesPerDocument;
        if (record % kPagesPerDocument == 0) {
            char name[64];
            std::snprintf(name, sizeof name, "/out/box-%04zu/scan-%06zu.orx", document / 100,
                          document);
            held.AddDocument(WorkspaceRoot() + name);
        }
        seed = seed * 1103515245u + 12345u;
        PageStats page;
        page.m_page = static_cast<std::int32_t>(record % kPagesPerDocument + 1);
        page.m_characters = static_cast<std::int32_t>(200 + (seed >> 16) % 3000);
        page.m_doubleWeightCount = static_cast<std::int32_t>((seed >> 8) % 40);
        page.m_singleWeightCount = static_cast<std::int32_t>((seed >> 4) % 60);
        page.m_confidence = ComputeConfidence(page.m_characters, page.m_doubleWeightCount,
                                              page.m_singleWeightCount);
        held.AppendPage(page);
    }
    return held;
}

// The list must be a view over a model: an item per cell would cost a widget item for each of
// millions of cells.
bool ListsWithoutItems(const ui::CPageStatsDlg& dialog, std::size_t records) {
    return dialog.findChildren<QTableWidget*>().isEmpty() &&
           dialog.findChildren<QListWidget*>().isEmpty() &&
           dialog.findChildren<QTreeWidget*>().isEmpty() &&
           static_cast<std::size_t>(dialog.model()->rowCount()) == records;
}

// Opening: the window is made over the records, shown, laid out and painted once.
void StatisticsWindowOpen(benchmark::State& state) {
    const auto records = static_cast<std::size_t>(state.range(0));
    const PageStatsTable& held = HoldRecords(records);
    bool itemFree = true;
    for (auto _ : state) {
        auto dialog = std::make_unique<ui::CPageStatsDlg>(held);
        dialog->show();
        QCoreApplication::processEvents();
        dialog->list()->viewport()->repaint();
        state.PauseTiming();
        itemFree = itemFree && ListsWithoutItems(*dialog, records);
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (!itemFree) {
        state.SkipWithError("the list holds an item per cell or misses records");
    }
}

// A click on a heading: the sort, the view following it, and one paint. Before each click the
// list is put into the order of the next column, so every click really reorders it.
void StatisticsWindowSort(benchmark::State& state) {
    const auto records = static_cast<std::size_t>(state.range(0));
    const int column = static_cast<int>(state.range(1));
    ui::CPageStatsDlg dialog(HoldRecords(records));
    dialog.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.model()->sort((column + 1) % app::kPageStatsColumnCount);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        emit dialog.list()->horizontalHeader()->sectionClicked(column);
        dialog.list()->viewport()->repaint();
    }
    if (app::ComparePageStatsRecords(HoldRecords(records), dialog.model()->recordIndexAt(0),
                                     dialog.model()->recordIndexAt(1), column) > 0) {
        state.SkipWithError("the click did not sort the list");
    }
}

BENCHMARK(StatisticsWindowOpen)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);
BENCHMARK(StatisticsWindowSort)
    ->ArgsProduct({{100'000, 1'000'000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace
}  // namespace quillrun::bench
