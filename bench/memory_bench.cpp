// Figure 7: the memory a long run's page records take. Measured in a child process of its own,
// so nothing the other figures left behind counts, and from the kernel's high-water mark of
// that process (VmHWM): after posix_spawn, getrusage's maxrss would still carry the parent's.
#include "memory_bench.h"

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_observer.h"
#include "bench_workspace.h"
#include "engine/page_stats.h"
#include "engine/statistics_harvest.h"

extern char** environ;

namespace quillrun::bench {
namespace {

constexpr int kDocuments = 50'000;
constexpr int kPagesPerDocument = 20;

long PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6)) * 1024;
        }
    }
    return -1;
}

std::string DocumentPath(const std::string& folder, int document) {
    char name[48];
    std::snprintf(name, sizeof name, "/out/box-%04d/scan-%06d.orx", document / 100, document);
    return folder + name;
}

struct ChildResult {
    double records = 0;
    double peakBytes = 0;
    double baselineBytes = 0;
    double pathBytesPerRecord = 0;
    double recordSize = 0;
};

ChildResult ReadResult(const std::string& path) {
    ChildResult result;
    std::ifstream in(path);
    in >> result.records >> result.peakBytes >> result.baselineBytes >> result.pathBytesPerRecord >>
        result.recordSize;
    return result;
}

void PageStatsMemory(benchmark::State& state) {
    const std::string folder = MakeWorkspaceFolder("memory");
    const std::string resultFile = folder + "/result.txt";
    std::vector<std::string> arguments{"quillrun_bench", kPageStatsChildOption, folder, resultFile};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int status = -1;
    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) == 0) {
            while (::waitpid(pid, &status, 0) < 0) {
            }
        }
    }
    const ChildResult result = ReadResult(resultFile);
    if (status != 0 || result.records != kDocuments * kPagesPerDocument) {
        state.SkipWithError("the child process did not hold the records");
        return;
    }
    state.counters["bytes_per_record"] = result.peakBytes / result.records;
    state.counters["reference_bytes"] = result.recordSize + result.pathBytesPerRecord;
    state.counters["baseline_MB"] = result.baselineBytes / 1e6;
    state.counters["peak_MB"] = result.peakBytes / 1e6;
}

// One run suffices: the figure is a count of bytes, not a time.
BENCHMARK(PageStatsMemory)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(1);

}  // namespace

int RunPageStatsChild(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const std::string folder = argv[2];
    const std::string master = folder + "/pages.master";
    const std::string statistics = folder + "/pages.dat";
    std::string lines;
    for (int page = 0; page < kPagesPerDocument; ++page) {
        lines += std::to_string(1500 + page * 37) + ", " + std::to_string(page % 9) + ", " +
                 std::to_string(page % 13) + ", 0, 0\r\n";
    }
    WriteBytes(master, lines);

    BenchObserver observer(BenchObserver::LogText::Discard);
    PageStatsTable pageStats;
    const long baseline = PeakResidentBytes();
    for (int document = 0; document < kDocuments; ++document) {
        LinkAgain(master, statistics);
        pageStats.AppendDocument(
            HarvestStatistics(DocumentPath(folder, document), statistics, observer));
    }
    const long peak = PeakResidentBytes();

    // Each document's path counts once: its pages share it.
    double pathBytes = 0;
    for (std::size_t document = 0; document < pageStats.documentCount(); ++document) {
        pathBytes += static_cast<double>(pageStats.documentPath(document).size());
    }
    const double records = static_cast<double>(pageStats.size());
    std::ofstream out(argv[3]);
    out.precision(15);
    out << records << ' ' << peak << ' ' << baseline << ' ' << pathBytes / records << ' '
        << sizeof(PageStats) << '\n';
    return out ? 0 : 1;
}

}  // namespace quillrun::bench
