// Measures orlavex against Tesseract's own way of making a searchable PDF and against OCRmyPDF,
// and calibrates the certainty rule behind its confidence figure on typeset pages.
//
//   orlavex_bench --figures SET    the figures scripts/bench prints (SET: a folder made by
//                                  bench/orlavex/make_calibration_set)
//   orlavex_bench --calibrate SET [--read-again]
//                                  the certainty rule's agreement with the words misread, on
//                                  the calibration and the held-out part of the set; the
//                                  readings are kept in SET/readings.tsv for the next time
//   orlavex_bench --speed          time per page with OpenMP threads as shipped, one, one per core
//   orlavex_bench --memory         peak memory over 1, 10, 50 and 100 pages
//   orlavex_bench --baseline IMAGE OUTPUTBASE
//                                  what "tesseract IMAGE OUTPUTBASE -l eng pdf" does, for
//                                  machines without the tesseract command
#include <unistd.h>

#include <tesseract/baseapi.h>
#include <tesseract/renderer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_pages.h"
#include "calibration.h"
#include "child_run.h"
#include "figures.h"

namespace {

using orlavex::bench::ChildRun;
using orlavex::bench::Median;
using orlavex::bench::RunChild;

constexpr const char kTesseractCommand[] = "/usr/bin/tesseract";

int RunBaseline(const char* image, const char* outputBase) {
    // The tesseract command's own path: default engine, automatic page segmentation, the PDF
    // renderer fed by ProcessPages.
    tesseract::TessBaseAPI engine;
    if (engine.Init(nullptr, "eng") != 0) {
        return 1;
    }
    engine.SetPageSegMode(tesseract::PSM_AUTO);
    tesseract::TessPDFRenderer renderer(outputBase, engine.GetDatapath(), false);
    return engine.ProcessPages(image, nullptr, 0, &renderer) ? 0 : 1;
}

std::vector<std::string> BaselineCommand(const std::string& self, const std::string& image,
                                         const std::string& outputBase) {
    if (access(kTesseractCommand, X_OK) == 0) {
        return {kTesseractCommand, image, outputBase, "-l", "eng", "pdf"};
    }
    return {self, "--baseline", image, outputBase};
}

std::vector<std::string> OrlavexCommand(const std::string& image, const std::string& folder) {
    return {ORLAVEX_PATH,
            "-in:" + image,
            "-out:" + folder + "/out.orx",
            "-stat:" + folder + "/out.dat",
            "-nomessage",
            "-x"};
}

// Runs both programs with OMP_THREAD_LIMIT as given (nullptr: unset, as each program ships).
int MeasureSpeed(const std::string& self, const std::string& image, int pages,
                 const char* threadLimit, const std::string& folder) {
    constexpr int kRounds = 3;
    if (threadLimit == nullptr) {
        unsetenv("OMP_THREAD_LIMIT");
    } else {
        setenv("OMP_THREAD_LIMIT", threadLimit, 1);
    }
    std::vector<double> baseWall, baseCpu, oxWall, oxCpu;
    // Interleaved, so that a burst of load from elsewhere hits both sides alike.
    for (int round = 0; round < kRounds; ++round) {
        const ChildRun base = RunChild(BaselineCommand(self, image, folder + "/base"));
        const ChildRun ox = RunChild(OrlavexCommand(image, folder));
        if (!base.succeeded() || !ox.succeeded()) {
            std::fprintf(stderr, "a run failed (%d, %d)\n", base.status, ox.status);
            return 1;
        }
        baseWall.push_back(base.wallSeconds / pages);
        baseCpu.push_back(base.cpuSeconds / pages);
        oxWall.push_back(ox.wallSeconds / pages);
        oxCpu.push_back(ox.cpuSeconds / pages);
    }
    std::printf("OMP_THREAD_LIMIT %s: per page, median of %d runs over %d letter-size pages\n",
                threadLimit == nullptr ? "unset (as shipped)" : threadLimit, kRounds, pages);
    std::printf("  baseline  wall %.2f s  cpu %.2f s\n", Median(baseWall), Median(baseCpu));
    std::printf("  orlavex   wall %.2f s  cpu %.2f s\n", Median(oxWall), Median(oxCpu));
    std::printf("  ratio     wall %.3f    cpu %.3f\n", Median(oxWall) / Median(baseWall),
                Median(oxCpu) / Median(baseCpu));
    unsetenv("OMP_THREAD_LIMIT");
    return 0;
}

int MeasureSpeeds(const std::string& self, const std::string& folder) {
    constexpr int kPages = 3;
    const std::string image = folder + "/pages.tif";
    orlavex::bench::WriteLetterPages(image, kPages);
    std::printf("baseline: %s\n", access(kTesseractCommand, X_OK) == 0
                                      ? "the tesseract command"
                                      : "TessBaseAPI::ProcessPages with TessPDFRenderer "
                                        "(no tesseract command installed)");
    const std::string cores = std::to_string(sysconf(_SC_NPROCESSORS_ONLN));
    for (const char* limit : {static_cast<const char*>(nullptr), "1", cores.c_str()}) {
        if (MeasureSpeed(self, image, kPages, limit, folder) != 0) {
            return 1;
        }
    }
    return 0;
}

int MeasureMemory(const std::string& folder) {
    for (const int pages : {1, 10, 50, 100}) {
        const std::string image = folder + "/memory.tif";
        orlavex::bench::WriteLetterPages(image, pages);
        const ChildRun ox = RunChild(OrlavexCommand(image, folder));
        std::printf("orlavex over %3d pages: peak resident %ld KB, %.2f s per page\n", pages,
                    ox.maxResidentKb, ox.wallSeconds / pages);
        if (!ox.succeeded()) {
            return 1;
        }
    }
    return 0;
}

// Tesseract spreads small inner loops over OpenMP threads that spin while they wait; with an
// engine per processor reading calibration pages in this process, they crowd the processors and
// the readings take about four times as long. The OpenMP runtime reads its limit before main, so
// the bench starts itself afresh with one thread per engine, and then takes the limit out of its
// environment again: orlavex, tesseract and OCRmyPDF run as shipped.
void LimitOwnRecognitionThreads(char** argv) {
    constexpr const char kLimitSet[] = "ORLAVEX_BENCH_SET_THREAD_LIMIT";
    if (std::getenv(kLimitSet) != nullptr) {
        unsetenv(kLimitSet);
        unsetenv("OMP_THREAD_LIMIT");
        return;
    }
    if (std::getenv("OMP_THREAD_LIMIT") != nullptr) {
        return;  // the caller's own choice
    }
    setenv("OMP_THREAD_LIMIT", "1", 1);
    setenv(kLimitSet, "1", 1);
    execv("/proc/self/exe", argv);
    unsetenv(kLimitSet);  // without /proc the bench runs with the library's own thread count
    unsetenv("OMP_THREAD_LIMIT");
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // results show as they come
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments[0] == "--figures" || arguments[0] == "--calibrate")) {
        LimitOwnRecognitionThreads(argv);
    }
    const auto mode = [&](const char* name, std::size_t count) {
        return arguments.size() >= count && arguments.size() <= count + 1 && arguments[0] == name;
    };
    if (mode("--baseline", 3) && arguments.size() == 3) {
        return RunBaseline(argv[2], argv[3]);
    }
    if (mode("--calibrate", 2)) {
        return orlavex::bench::Calibrate(arguments[1],
                                         arguments.size() == 3 && arguments[2] == "--read-again");
    }
    char pattern[] = "/tmp/orlavex-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    const std::string folder = pattern;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    int status = 0;
    if (mode("--figures", 2) && arguments.size() == 2) {
        status = orlavex::bench::PrintOrlavexFigures(arguments[1], folder, self) ? 0 : 1;
    } else if (mode("--speed", 1) && arguments.size() == 1) {
        status = MeasureSpeeds(self, folder);
    } else if (mode("--memory", 1) && arguments.size() == 1) {
        status = MeasureMemory(folder);
    } else {
        std::fprintf(stderr,
                     "usage: orlavex_bench --figures SET | --calibrate SET [--read-again] | "
                     "--speed | --memory\n");
        status = 2;
    }
    std::filesystem::remove_all(folder);
    return status;
}
