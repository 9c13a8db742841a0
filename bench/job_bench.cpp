// Figure 3: what a conversion job adds to running the reading program: the folder checks, the
// command line, the wait, the harvest and the log lines.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "bench_observer.h"
#include "bench_workspace.h"
#include "engine/conversion_job.h"
#include "engine/image_claims.h"

extern char** environ;

namespace quillrun::bench {
namespace {

// The reading program that writes its document and a one-line statistics file and exits.
constexpr const char* kQuickReader = QUILLRUN_BENCH_READER;

// Processor time of this process and of its ended children: the reader's run and the engine's
// share of a job, without the time others held the processor meanwhile.
double CpuSecondsWithChildren() {
    timespec own{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &own);
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    return static_cast<double>(own.tv_sec) + static_cast<double>(own.tv_nsec) * 1e-9 +
           seconds(children.ru_utime) + seconds(children.ru_stime);
}

void ReportCpuPerJob(benchmark::State& state, double cpuStart) {
    state.counters["cpu_per_job_s"] =
        (CpuSecondsWithChildren() - cpuStart) / static_cast<double>(state.iterations());
}

struct JobFiles {
    std::string image;
    std::string document;
    std::string statistics;
    std::string logFile;
};

const JobFiles& Files() {
    static const JobFiles files = [] {
        const std::string root = MakeWorkspaceFolder("job");
        MakeFolder(root + "/src");
        MakeFolder(root + "/out");
        JobFiles made{root + "/src/scan-000001.tif", root + "/out/scan-000001.orx",
                      root + "/out/scan-000001.dat", root + "/quillrun.log"};
        MakeEmptyFile(made.image);
        return made;
    }();
    return files;
}

void ConversionJobRun(benchmark::State& state) {
    const JobFiles& files = Files();
    BenchObserver observer(BenchObserver::LogText::Keep, files.logFile);
    ImageClaims claims;
    const Settings settings;
    const std::string readerPath = std::string("\"") + kQuickReader + "\"";
    const Candidate candidate{files.image, files.document,
                              files.document.substr(0, files.document.size() - 3) + "bad",
                              files.document.substr(0, files.document.rfind('/'))};
    const double cpuStart = CpuSecondsWithChildren();
    for (auto _ : state) {
        // A document that is there already counts as converted by another instance.
        ::unlink(files.document.c_str());
        ConversionJob(settings, candidate, readerPath, claims, observer).Run();
    }
    ReportCpuPerJob(state, cpuStart);
    if (observer.log().find(" has been created.") == std::string::npos ||
        observer.log().find("Warning!") != std::string::npos ||
        observer.log().find("Failed") != std::string::npos) {
        state.SkipWithError("the job did not convert the image");
    }
}

// The same program with the same arguments, started with posix_spawn and waited for.
void SpawnAndWait(benchmark::State& state) {
    const JobFiles& files = Files();
    std::vector<std::string> arguments{
        kQuickReader, "-in:" + files.image,       "-out:" + files.document, "-nomessage",
        "-x",         "-stat:" + files.statistics};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int failures = 0;
    const double cpuStart = CpuSecondsWithChildren();
    for (auto _ : state) {
        ::unlink(files.document.c_str());  // as the engine's side does
        pid_t pid = 0;
        if (::posix_spawn(&pid, kQuickReader, nullptr, nullptr, argv.data(), environ) != 0) {
            ++failures;
            continue;
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0) {
        }
        failures += (WIFEXITED(status) && WEXITSTATUS(status) == 0) ? 0 : 1;
    }
    ReportCpuPerJob(state, cpuStart);
    if (failures != 0) {
        state.SkipWithError("the reading program did not run");
    }
}

BENCHMARK(ConversionJobRun)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(SpawnAndWait)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
}  // namespace quillrun::bench
