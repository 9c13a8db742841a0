// Figure 4: turning a statistics file of 100,000 lines into page records, against reading the
// same file line by line and summing its numbers.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

#include "bench_observer.h"
#include "bench_workspace.h"
#include "engine/page_stats.h"
#include "engine/statistics_harvest.h"

namespace quillrun::bench {
namespace {

constexpr int kStatisticsLines = 100'000;

struct HarvestFiles {
    std::string master;  // never harvested; the statistics file is linked to it again each time
    std::string statistics;
    std::string document;
};

std::string StatisticsText(int lines) {
    std::string text;
    unsigned seed = 12345;
    for (int i = 0; i < lines; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned characters = 200 + (seed >> 16) % 3000;
        text += std::to_string(characters) + ", " + std::to_string((seed >> 8) % 40) + ", " +
                std::to_string((seed >> 4) % 60) + ", " + std::to_string(seed % 7) + ", " +
                std::to_string((seed >> 20) % 5) + "\r\n";
    }
    return text;
}

const HarvestFiles& Files() {
    static const HarvestFiles files = [] {
        const std::string root = MakeWorkspaceFolder("harvest");
        HarvestFiles made{root + "/statistics.master", root + "/scan-000001.dat",
                          root + "/scan-000001.orx"};
        WriteBytes(made.master, StatisticsText(kStatisticsLines));
        return made;
    }();
    return files;
}

void HarvestStatistics100k(benchmark::State& state) {
    const HarvestFiles& files = Files();
    BenchObserver observer;
    std::optional<PageStatsTable> pageStats;
    std::size_t harvested = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LinkAgain(files.master, files.statistics);
        // Each harvest starts from a run with no records and with the freed memory given back, as a
        // long run grows into memory it has never touched: the growth and the first touch of its
        // pages are part of a harvest, freeing the previous records is not. Without the trim the
        // figure would depend on what the allocator happened to keep from before.
        pageStats.reset();
        ::malloc_trim(0);
        pageStats.emplace();
        observer.clearLog();
        state.ResumeTiming();
        pageStats->AppendDocument(HarvestStatistics(files.document, files.statistics, observer));
        harvested = pageStats->size();
    }
    if (harvested != static_cast<std::size_t>(kStatisticsLines)) {
        state.SkipWithError("the harvest did not read every line");
    }
}

long SumOfLine(const std::string& line) {
    const char* cursor = line.c_str();
    long sum = 0;
    for (int field = 0; field < 5; ++field) {
        char* end = nullptr;
        sum += std::strtol(cursor, &end, 10);
        if (end == cursor || *end != ',') {
            break;
        }
        cursor = end + 1;
    }
    return sum;
}

void GetlineAndSum(benchmark::State& state) {
    const HarvestFiles& files = Files();
    long lines = 0;
    for (auto _ : state) {
        std::ifstream in(files.master, std::ios::binary);
        std::string line;
        long sum = 0;
        lines = 0;
        while (std::getline(in, line)) {
            sum += SumOfLine(line);
            ++lines;
        }
        benchmark::DoNotOptimize(sum);
    }
    if (lines != kStatisticsLines) {
        state.SkipWithError("the reference did not read every line");
    }
}

BENCHMARK(HarvestStatistics100k)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK(GetlineAndSum)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace
}  // namespace quillrun::bench
