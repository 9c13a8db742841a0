// Figure 5: a long run's activity log. Each line is appended to the on-screen text and to the
// log file; a line must cost the same whether it is the first or the hundred-thousandth.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "bench_observer.h"
#include "bench_workspace.h"

namespace quillrun::bench {
namespace {

constexpr int kLines = 100'000;
constexpr int kChunk = 10'000;

// Processor time of this process: a line's cost, not the time others took the processor away.
double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> Messages(const std::string& root) {
    std::vector<std::string> messages;
    for (int i = 0; i < 1000; ++i) {
        const std::string document =
            root + "/out/box-" + std::to_string(i / 100) + "/scan-" + std::to_string(i) + ".orx";
        switch (i % 3) {
            case 0:
                messages.push_back(document + " has been created.");
                break;
            case 1:
                messages.push_back("It contains " + std::to_string(i % 40 + 2) + " pages.");
                break;
            default:
                messages.push_back(std::to_string(i % 7 + 2) +
                                   " pages may have been poorly recognized.");
                break;
        }
    }
    return messages;
}

void LogActivity100k(benchmark::State& state) {
    const std::string root = MakeWorkspaceFolder("log");
    const std::string logFile = root + "/quillrun.log";
    const std::vector<std::string> messages = Messages(root);
    double firstChunk = 0;
    double lastChunk = 0;
    std::size_t screenBytes = 0;
    for (auto _ : state) {
        ::unlink(logFile.c_str());
        BenchObserver log(BenchObserver::LogText::Keep, logFile);
        double chunkStart = CpuSeconds();
        for (int line = 0; line < kLines; ++line) {
            if (line == kLines - kChunk) {
                chunkStart = CpuSeconds();
            }
            log.Log(messages[static_cast<std::size_t>(line) % messages.size()]);
            if (line == kChunk - 1) {
                firstChunk = CpuSeconds() - chunkStart;
            }
        }
        lastChunk = CpuSeconds() - chunkStart;
        screenBytes = log.log().size();
    }
    state.counters["first_10k_cpu_s"] = firstChunk;
    state.counters["last_10k_cpu_s"] = lastChunk;
    state.counters["screen_bytes"] = static_cast<double>(screenBytes);
    if (screenBytes == 0 || ::access(logFile.c_str(), F_OK) != 0) {
        state.SkipWithError("the log lines did not arrive");
    }
    ::unlink(logFile.c_str());
}

BENCHMARK(LogActivity100k)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillrun::bench
