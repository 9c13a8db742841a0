// Measures orlavex against Tesseract's own way of making a searchable PDF, and calibrates the
// certainty thresholds behind its confidence figure against the real error rate of graded pages.
//
//   orlavex_bench                  speed per page (threads as shipped, one, one per core),
//                                  then memory over 1, 10, 50 and 100 pages
//   orlavex_bench --speed          speed only
//   orlavex_bench --memory         memory only
//   orlavex_bench --calibrate      threshold sets ranked by how well the confidence figure
//                                  follows the character error rate of graded pages
//   orlavex_bench --baseline IMAGE OUTPUTBASE
//                                  what "tesseract IMAGE OUTPUTBASE -l eng pdf" does, for
//                                  machines without the tesseract command
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <tesseract/baseapi.h>
#include <tesseract/renderer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orlavex/test_pages.h"
#include "orlavex/text_comparison.h"
#include "page_cleanup.h"
#include "page_statistics.h"

extern char** environ;

namespace {

using orlavex::test::Lines;
using orlavex::test::PixPtr;

constexpr const char kTesseractCommand[] = "/usr/bin/tesseract";

struct ChildRun {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
    long maxResidentKb = 0;
    int status = -1;
};

ChildRun RunChild(const std::vector<std::string>& arguments, const std::string& output = "") {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.empty() ? "/dev/null" : output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    rusage usage{};
    wait4(pid, &run.status, 0, &usage);
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.maxResidentKb = usage.ru_maxrss;
    return run;
}

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

// A letter-size page of running text, 44 lines, as a 1-bit scan at 300 dpi.
PixPtr FullPage(int seed) {
    static const Lines sentences{
        "The archive keeps the minutes of every council meeting since 1921,",
        "bound in volumes of four hundred pages with a typed index at the end.",
        "Each volume was scanned in black and white at three hundred dots",
        "per inch, and the clerks now want to search the text for names.",
        "Some pages carry stamps, handwritten notes and the odd coffee ring;",
        "others are faint carbon copies that were typed in a hurry.",
        "The budget for 1957 lists 14 roads, 3 bridges and 212 street lamps.",
        "Members asked whether the new library could open on Saturdays,",
        "and the treasurer promised an answer at the following meeting.",
        "A letter from the harbour master complains about the fog signal,",
        "which had failed twice in November and once again in December.",
    };
    Lines lines;
    for (int i = 0; i < 44; ++i) {
        lines.push_back(sentences[static_cast<std::size_t>(i + seed) % sentences.size()]);
    }
    return orlavex::test::Binary(
        orlavex::test::RenderPdfPage(orlavex::test::MakeTextPdf({lines}, 8.5, 11.0)).get());
}

// One page at a time, so that this process stays small: a child started with posix_spawn shares
// its parent's memory until it executes, and the kernel counts that into the child's peak.
void WritePages(const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
        const PixPtr page = FullPage(i);
        orlavex::test::WriteTiff(path, {page.get()}, i > 0);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
        if (base.status != 0 || ox.status != 0) {
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
    WritePages(image, kPages);
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
        WritePages(image, pages);
        const ChildRun ox = RunChild(OrlavexCommand(image, folder));
        std::printf("orlavex over %2d pages: peak resident %ld KB, %.2f s per page\n", pages,
                    ox.maxResidentKb, ox.wallSeconds / pages);
        if (ox.status != 0) {
            return 1;
        }
    }
    return 0;
}

// --- confidence calibration ------------------------------------------------------------------

PixPtr Faded(Pix* grey) {
    PixPtr faded(pixCopy(nullptr, grey));
    const int width = pixGetWidth(faded.get());
    const int height = pixGetHeight(faded.get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            l_uint32 value = 0;
            pixGetPixel(faded.get(), x, y, &value);
            pixSetPixel(faded.get(), x, y, 255 - (255 - value) * 35 / 100);
        }
    }
    return PixPtr(pixAddGaussianNoise(faded.get(), 25.0F));
}

PixPtr Noisy(Pix* grey, float scale, float noise) {
    const PixPtr small(pixScale(grey, scale, scale));
    const PixPtr noisy(pixAddGaussianNoise(small.get(), noise));
    return PixPtr(pixScale(noisy.get(), 1.0F / scale, 1.0F / scale));
}

struct Sample {
    std::string name;
    double errorRate = 0.0;
    orlavex::RecognisedPage recognised;
};

// The same steps as orlavex takes for an upright page: specks removed, skew straightened, then
// recognised with automatic page segmentation.
Sample Recognise(tesseract::TessBaseAPI& engine, const std::string& name, Pix* image,
                 const Lines& text) {
    orlavex::PageImage page;
    page.pix.reset(pixCopy(nullptr, image));
    page.binary = orlavex::Binarize(page.pix.get());
    page.resolution = 300;
    orlavex::RemoveSpecks(page);
    orlavex::Straighten(page);
    engine.SetImage(page.pix.get());
    engine.SetSourceResolution(300);
    engine.Recognize(nullptr);
    Sample sample;
    sample.name = name;
    char* recognisedText = engine.GetUTF8Text();
    std::string expected;
    for (const std::string& line : text) {
        expected += line + " ";
    }
    sample.errorRate = orlavex::test::CharacterErrorRate(expected, recognisedText);
    delete[] recognisedText;
    sample.recognised = orlavex::CollectConfidences(engine);
    engine.Clear();
    return sample;
}

float Confidence(const orlavex::PageStatistics& page) {
    const int net = page.characters - 2 * page.lowCertainty - page.middlingCertainty;
    return page.characters == 0 || net <= 0
               ? 0.0F
               : static_cast<float>(net) * 100.0F / static_cast<float>(page.characters);
}

std::vector<double> Ranks(const std::vector<double>& values) {
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    std::vector<double> ranks(values.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && values[order[j + 1]] == values[order[i]]) {
            ++j;
        }
        for (std::size_t k = i; k <= j; ++k) {
            ranks[order[k]] = (static_cast<double>(i + j) / 2.0) + 1.0;  // ties share their mean
        }
        i = j + 1;
    }
    return ranks;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    double meanA = 0.0, meanB = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        meanA += a[i] / n;
        meanB += b[i] / n;
    }
    double covariance = 0.0, varianceA = 0.0, varianceB = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        covariance += (a[i] - meanA) * (b[i] - meanB);
        varianceA += (a[i] - meanA) * (a[i] - meanA);
        varianceB += (b[i] - meanB) * (b[i] - meanB);
    }
    return covariance / std::sqrt(varianceA * varianceB);
}

// A proofreader wants to see every page with errors on more than one character in fifty, and
// none that is free of errors.
constexpr double kProofreadErrorRate = 0.02;

struct Verdict {
    orlavex::CertaintyThresholds thresholds;
    double rankCorrelation = 0.0;  // Spearman, confidence against accuracy (1 - error rate)
    int cleanFlagged = 0;          // error-free pages below 95%
    int poorMissed = 0;            // pages above the proofreading error rate at 95% or more
};

Verdict Judge(const std::vector<Sample>& samples, const orlavex::CertaintyThresholds& thresholds) {
    Verdict verdict;
    verdict.thresholds = thresholds;
    std::vector<double> confidences, accuracies;
    for (const Sample& sample : samples) {
        const float confidence = Confidence(orlavex::ClassifyPage(sample.recognised, thresholds));
        confidences.push_back(confidence);
        accuracies.push_back(1.0 - sample.errorRate);
        verdict.cleanFlagged += sample.errorRate == 0.0 && confidence < 95.0F ? 1 : 0;
        verdict.poorMissed += sample.errorRate > kProofreadErrorRate && confidence >= 95.0F ? 1 : 0;
    }
    verdict.rankCorrelation = Correlation(Ranks(confidences), Ranks(accuracies));
    return verdict;
}

void PrintVerdict(const Verdict& verdict) {
    std::printf(
        "low < %2.0f/%2.0f  middling < %2.0f/%2.0f  (symbol/word)   rho %.3f   "
        "clean flagged %d   poor missed %d\n",
        static_cast<double>(verdict.thresholds.lowSymbol),
        static_cast<double>(verdict.thresholds.lowWord),
        static_cast<double>(verdict.thresholds.middlingSymbol),
        static_cast<double>(verdict.thresholds.middlingWord), verdict.rankCorrelation,
        verdict.cleanFlagged, verdict.poorMissed);
}

int Calibrate() {
    tesseract::TessBaseAPI engine;
    if (engine.Init(nullptr, "eng") != 0) {
        return 1;
    }
    engine.SetPageSegMode(tesseract::PSM_AUTO);
    std::vector<Sample> samples;
    for (const Lines* text : {&orlavex::test::FoxText(), &orlavex::test::HarbourText(),
                              &orlavex::test::LedgerText(), &orlavex::test::OrchardText()}) {
        const PixPtr grey = orlavex::test::GreyScanOf(*text);
        const PixPtr scan = orlavex::test::Binary(grey.get());
        const auto add = [&](const std::string& name, const PixPtr& page) {
            samples.push_back(Recognise(engine, name, page.get(), *text));
        };
        add("clean scan", scan);
        add("clean grey", grey);
        add("speckled", orlavex::test::Speckled(scan.get(), 1500));
        for (const float noise : {20.0F, 30.0F, 40.0F, 50.0F, 60.0F}) {
            add("third-res noise " + std::to_string(static_cast<int>(noise)),
                Noisy(grey.get(), 0.34F, noise));
        }
        for (const float noise : {20.0F, 30.0F}) {
            add("quarter-res noise " + std::to_string(static_cast<int>(noise)),
                Noisy(grey.get(), 0.25F, noise));
        }
        add("faded carbon", Faded(grey.get()));
        add("blurred", PixPtr(pixBlockconv(grey.get(), 3, 3)));
    }

    std::vector<Verdict> verdicts;
    for (const float lowSymbol : {0.0F, 30.0F, 50.0F, 60.0F, 70.0F, 80.0F}) {
        for (const float lowWord : {0.0F, 30.0F, 40.0F, 50.0F, 55.0F, 60.0F, 65.0F, 70.0F}) {
            for (const float middlingSymbol : {0.0F, 80.0F, 85.0F, 90.0F, 95.0F}) {
                for (const float middlingWord : {0.0F, 75.0F, 80.0F, 85.0F, 88.0F, 90.0F}) {
                    if (middlingSymbol < lowSymbol || middlingWord < lowWord) {
                        continue;
                    }
                    verdicts.push_back(
                        Judge(samples, {lowSymbol, lowWord, middlingSymbol, middlingWord}));
                }
            }
        }
    }
    // A poor page that slips through costs a reader more than a noisy but correct page that is
    // looked at once too often: missed pages count first, then how well the figure ranks.
    std::sort(verdicts.begin(), verdicts.end(), [](const Verdict& a, const Verdict& b) {
        if (a.poorMissed != b.poorMissed) {
            return a.poorMissed < b.poorMissed;
        }
        if (std::fabs(a.rankCorrelation - b.rankCorrelation) > 1e-9) {
            return a.rankCorrelation > b.rankCorrelation;
        }
        return a.cleanFlagged < b.cleanFlagged;
    });
    std::printf("%zu pages; best threshold sets of %zu:\n", samples.size(), verdicts.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(10, verdicts.size()); ++i) {
        PrintVerdict(verdicts[i]);
    }
    std::printf("\nthe calibrated set:\n");
    PrintVerdict(Judge(samples, orlavex::kCalibratedThresholds));
    std::printf("symbol confidence alone (no word threshold):\n");
    PrintVerdict(Judge(samples, {60.0F, 0.0F, 85.0F, 0.0F}));

    std::printf("\n%-22s %6s %5s %5s %5s %8s\n", "page", "CER%", "C", "D", "S", "conf%");
    for (const Sample& sample : samples) {
        const orlavex::PageStatistics page = orlavex::ClassifyPage(sample.recognised);
        const float confidence = Confidence(page);
        std::printf("%-22s %6.2f %5d %5d %5d %8.2f%s\n", sample.name.c_str(),
                    sample.errorRate * 100.0, page.characters, page.lowCertainty,
                    page.middlingCertainty, static_cast<double>(confidence),
                    confidence < 95.0F ? "  flagged" : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // results show as they come
    if (argc == 4 && std::strcmp(argv[1], "--baseline") == 0) {
        return RunBaseline(argv[2], argv[3]);
    }
    char pattern[] = "/tmp/orlavex-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    const std::string folder = pattern;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    int status = 0;
    if (argc == 2 && std::strcmp(argv[1], "--calibrate") == 0) {
        status = Calibrate();
    } else {
        const bool speedOnly = argc == 2 && std::strcmp(argv[1], "--speed") == 0;
        const bool memoryOnly = argc == 2 && std::strcmp(argv[1], "--memory") == 0;
        if (!memoryOnly) {
            status = MeasureSpeeds(self, folder);
        }
        if (status == 0 && !speedOnly) {
            status = MeasureMemory(folder);
        }
    }
    std::filesystem::remove_all(folder);
    return status;
}
