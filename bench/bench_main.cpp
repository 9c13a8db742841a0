// The benchmarks of Quillrun: every figure is the ratio of the engine's cost to a reference
// measured in the same process run, since absolute times on a shared machine mean little.
//
//   quillrun_bench [--workspace=DIR] [--details] [Google Benchmark options]
//
// Generated trees live in DIR (default: a new folder in $TMPDIR or /tmp) and are removed at the
// end. --details also shows Google Benchmark's own report on standard error.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "bench_workspace.h"
#include "figure_table.h"
#include "memory_bench.h"
#include "window_platform.h"

namespace {

struct Options {
    std::string workspace;
    bool details = false;
};

// Takes this program's own options out of argv, leaving Google Benchmark's.
Options TakeOwnOptions(int& argc, char** argv) {
    Options options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with("--workspace=")) {
            options.workspace = std::string(argument.substr(12));
        } else if (argument == "--details") {
            options.details = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return options;
}

std::string MakeTemporaryWorkspace() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quillrun-bench.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        quillrun::bench::FailSetup("cannot create a temporary folder");
    }
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], quillrun::bench::kPageStatsChildOption) == 0) {
        return quillrun::bench::RunPageStatsChild(argc, argv);
    }
    Options options = TakeOwnOptions(argc, argv);
    quillrun::bench::WindowPlatform windowPlatform(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    const bool ownWorkspace = options.workspace.empty();
    quillrun::bench::SetWorkspaceRoot(ownWorkspace ? MakeTemporaryWorkspace() : options.workspace);

    quillrun::bench::CollectingReporter reporter(options.details ? &std::cerr : nullptr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    quillrun::bench::ClearWorkspace();
    if (ownWorkspace) {
        ::rmdir(quillrun::bench::WorkspaceRoot().c_str());
    }
    return quillrun::bench::PrintFigures(reporter, std::cout) ? 0 : 1;
}
