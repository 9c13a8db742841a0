#include "figure_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <optional>
#include <ostream>
#include <tuple>

#include "figure_line.h"
#include "window_platform.h"

namespace quillrun::bench {
namespace {

std::string KeyOf(const benchmark::BenchmarkReporter::Run& run) {
    const auto& name = run.run_name;
    return name.args.empty() ? name.function_name : name.function_name + "/" + name.args;
}

// The machines are shared: a median of interleaved repetitions is what one disturbed
// repetition cannot move.
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Processor time (user and system) is what a tick, a job or a harvest costs the machine, and
// unlike elapsed time it does not grow when other work shares the processor. A job's counts
// the reading program's process as well as this one.
enum class Unit { CpuSeconds, LimitSeconds, CpuNanosecondsPerImage, Bytes };

struct Measure {
    std::string benchmark;
    std::string counter;  // empty: time per iteration, by the clock the unit names
    Unit unit = Unit::CpuSeconds;
    double divisor = 1;  // images in the tree, for a cost per image
    double fixed = 0;    // a limit given in advance rather than measured
};

struct Figure {
    std::string name;
    Measure value;
    Measure reference;
    std::string referenceName;
    double lowest;  // the ratio value / reference must lie within [lowest, highest]
    double highest;
    // Set for a figure that cannot be measured in this build, and why.
    std::string notMeasured = {};
};

constexpr double kNoLimit = 0;
constexpr double kWithin25 = 0.25;

Measure Time(std::string benchmark) {
    return {std::move(benchmark), {}, Unit::CpuSeconds, 1};
}

Measure PerImage(int images) {
    return {"PlainIdleTick/" + std::to_string(images),
            {},
            Unit::CpuNanosecondsPerImage,
            static_cast<double>(images)};
}

Measure Counter(std::string benchmark, std::string counter, Unit unit) {
    return {std::move(benchmark), std::move(counter), unit, 1};
}

Measure Limit(double seconds) {
    return {{}, {}, Unit::LimitSeconds, 1, seconds};
}

Measure LimitBytes(double bytes) {
    return {{}, {}, Unit::Bytes, 1, bytes};
}

// The search as it runs, which remembers the folders that held nothing to take, over 200,000
// images in 200 folders: idle, after one new image, and the walk that trusts nothing (the first
// one, and the safety net every few minutes). The plain search's tick on the same tree is the
// figure from before.
std::vector<Figure> RememberedSearchFigures() {
    const Measure bareWalk = Time("WideReferenceWalk");
    return {
        {"8 plain idle tick, 200,000 in 200 folders", Time("WidePlainIdleTick"), bareWalk,
         "bare walk", kNoLimit, 2.0},
        {"8 idle tick, 200,000 in 200 folders", Time("RememberedIdleTick"), bareWalk, "bare walk",
         kNoLimit, 0.02},
        {"8 tick after one new image, 200 folders", Time("TickAfterNewImage"), bareWalk,
         "bare walk", kNoLimit, 0.05},
        {"8 full walk, remembering, 200 folders", Time("RememberingFullWalk"), bareWalk,
         "bare walk", kNoLimit, 2.0},
        {"8 search memory per folder, 2,000 folders",
         Counter("SearchMemoryPerFolder", "bytes_per_folder", Unit::Bytes), LimitBytes(64), "limit",
         kNoLimit, 1.0},
    };
}

// Opening the statistics window and sorting it by each heading, against the fixed limits of a
// window the user waits for: 1 s at 100,000 records, 10 s at 1,000,000.
std::vector<Figure> StatisticsWindowFigures() {
    if (!WindowPlatform::WindowBuilt()) {
        return {{"6 statistics window",
                 {},
                 {},
                 {},
                 kNoLimit,
                 1.0,
                 "NOT MEASURED: the statistics window is not built"}};
    }
    const std::array<const char*, 4> headings{"File Name", "Page", "Characters",
                                              "Confidence Level"};
    std::vector<Figure> figures;
    for (const auto& [records, shown, limit] :
         {std::tuple{100'000, "100,000", 1.0}, std::tuple{1'000'000, "1,000,000", 10.0}}) {
        const std::string size = std::to_string(records);
        figures.push_back({std::string("6 window opens, ") + shown + " records",
                           Time("StatisticsWindowOpen/" + size), Limit(limit), "limit", kNoLimit,
                           1.0});
        for (std::size_t column = 0; column < headings.size(); ++column) {
            figures.push_back({std::string("6 sort by ") + headings[column] + ", " + shown,
                               Time("StatisticsWindowSort/" + size + "/" + std::to_string(column)),
                               Limit(limit), "limit", kNoLimit, 1.0});
        }
    }
    return figures;
}

std::vector<Figure> Figures() {
    std::vector<Figure> figures{
        {"1 plain idle tick, 2,000 images", Time("PlainIdleTick/2000"), Time("ReferenceWalk/2000"),
         "bare walk", kNoLimit, 2.0},
        {"1 plain idle tick, 20,000 images", Time("PlainIdleTick/20000"),
         Time("ReferenceWalk/20000"), "bare walk", kNoLimit, 2.0},
        {"1 plain idle tick, 200,000 images", Time("PlainIdleTick/200000"),
         Time("ReferenceWalk/200000"), "bare walk", kNoLimit, 2.0},
        {"1 plain tick per image, 20,000 vs 2,000", PerImage(20'000), PerImage(2'000), "at 2,000",
         1 - kWithin25, 1 + kWithin25},
        {"1 plain tick per image, 200,000 vs 2,000", PerImage(200'000), PerImage(2'000), "at 2,000",
         1 - kWithin25, 1 + kWithin25},
        {"2 plain busy tick, 20,000 images", Time("PlainBusyTick"), Time("ReferenceWalk/20000"),
         "bare walk", kNoLimit, 2.0},
        {"3 job overhead, ConversionJob",
         Counter("ConversionJobRun", "cpu_per_job_s", Unit::CpuSeconds),
         Counter("SpawnAndWait", "cpu_per_job_s", Unit::CpuSeconds), "spawn+wait", kNoLimit, 1.2},
        {"4 harvest, 100,000 lines", Time("HarvestStatistics100k"), Time("GetlineAndSum"),
         "getline+sum", kNoLimit, 3.0},
        {"5 log, last vs first 10,000 of 100,000",
         Counter("LogActivity100k", "last_10k_cpu_s", Unit::CpuSeconds),
         Counter("LogActivity100k", "first_10k_cpu_s", Unit::CpuSeconds), "first 10,000",
         1 - kWithin25, 1 + kWithin25},
        {"5 on-screen log, full (100,000 lines) vs empty",
         Counter("ScreenLogRounds", "full_cpu_s", Unit::CpuSeconds),
         Counter("ScreenLogRounds", "empty_cpu_s", Unit::CpuSeconds), "empty log", kNoLimit, 1.5},
        {"5 on-screen log, full with the cap vs without",
         Counter("ScreenLogRounds", "full_cpu_s", Unit::CpuSeconds),
         Counter("ScreenLogRounds", "uncapped_cpu_s", Unit::CpuSeconds), "no cap", kNoLimit,
         1 + kWithin25},
        {"7 memory per record, 1,000,000 records",
         Counter("PageStatsMemory", "bytes_per_record", Unit::Bytes),
         Counter("PageStatsMemory", "reference_bytes", Unit::Bytes), "sizeof+path", kNoLimit, 2.0},
    };
    const std::vector<Figure> window = StatisticsWindowFigures();
    // In the order of the figures: the window's come before the memory's.
    figures.insert(figures.end() - 1, window.begin(), window.end());
    const std::vector<Figure> remembered = RememberedSearchFigures();
    figures.insert(figures.end(), remembered.begin(), remembered.end());
    return figures;
}

std::optional<double> Evaluate(const CollectingReporter& results, const Measure& measure,
                               std::string& error) {
    if (measure.fixed > 0) {
        return measure.fixed;
    }
    const CollectingReporter::Samples* samples = results.find(measure.benchmark);
    if (samples == nullptr) {
        return std::nullopt;
    }
    if (!samples->error.empty()) {
        error = measure.benchmark + ": " + samples->error;
        return std::nullopt;
    }
    const std::vector<double>* values = &samples->cpuSeconds;
    if (!measure.counter.empty()) {
        const auto found = samples->counters.find(measure.counter);
        if (found == samples->counters.end()) {
            return std::nullopt;
        }
        values = &found->second;
    }
    if (values->empty()) {
        return std::nullopt;
    }
    return Median(*values) / measure.divisor;
}

std::string Show(double value, Unit unit) {
    char text[32];
    switch (unit) {
        case Unit::CpuSeconds:
            if (value >= 1) {
                std::snprintf(text, sizeof text, "%.3f s cpu", value);
            } else if (value >= 1e-3) {
                std::snprintf(text, sizeof text, "%.3f ms cpu", value * 1e3);
            } else {
                std::snprintf(text, sizeof text, "%.1f us cpu", value * 1e6);
            }
            break;
        case Unit::LimitSeconds:
            std::snprintf(text, sizeof text, "%.0f s", value);
            break;
        case Unit::CpuNanosecondsPerImage:
            std::snprintf(text, sizeof text, "%.0f ns/img cpu", value * 1e9);
            break;
        case Unit::Bytes:
            std::snprintf(text, sizeof text, "%.1f B", value);
            break;
    }
    return text;
}

std::string ShowTarget(const Figure& figure) {
    char text[32];
    if (figure.lowest == kNoLimit) {
        std::snprintf(text, sizeof text, "<= %.2f", figure.highest);
    } else {
        std::snprintf(text, sizeof text, "%.2f..%.2f", figure.lowest, figure.highest);
    }
    return text;
}

void PrintLine(std::ostream& out, const std::string& name, const std::string& value,
               const std::string& reference, const std::string& ratio, const std::string& target,
               const std::string& verdict) {
    PrintFigureLine(out, name, value, reference, ratio, target, verdict);
}

}  // namespace

CollectingReporter::CollectingReporter(std::ostream* details) {
    if (details != nullptr) {
        m_details =
            std::make_unique<benchmark::ConsoleReporter>(benchmark::ConsoleReporter::OO_Tabular);
        m_details->SetOutputStream(details);
        m_details->SetErrorStream(details);
    }
}

bool CollectingReporter::ReportContext(const Context& context) {
    return m_details == nullptr || m_details->ReportContext(context);
}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) {
            continue;
        }
        Samples& samples = m_samples[KeyOf(run)];
        if (run.error_occurred) {
            samples.error = run.error_message;
            continue;
        }
        const double iterations =
            static_cast<double>(std::max<benchmark::IterationCount>(run.iterations, 1));
        samples.cpuSeconds.push_back(run.cpu_accumulated_time / iterations);
        for (const auto& [name, counter] : run.counters) {
            samples.counters[name].push_back(counter.value);
        }
    }
    if (m_details != nullptr) {
        m_details->ReportRuns(runs);
    }
}

void CollectingReporter::Finalize() {
    if (m_details != nullptr) {
        m_details->Finalize();
    }
}

const CollectingReporter::Samples* CollectingReporter::find(const std::string& benchmark) const {
    const auto found = m_samples.find(benchmark);
    return found == m_samples.end() ? nullptr : &found->second;
}

bool PrintFigures(const CollectingReporter& results, std::ostream& out) {
    bool allMet = true;
    PrintLine(out, "figure", "value", "reference", "ratio", "target", "result");
    for (const Figure& figure : Figures()) {
        if (!figure.notMeasured.empty()) {
            PrintLine(out, figure.name, "-", "-", "-", "-", figure.notMeasured);
            continue;
        }
        std::string error;
        const std::optional<double> value = Evaluate(results, figure.value, error);
        const std::optional<double> reference = Evaluate(results, figure.reference, error);
        if (!error.empty()) {
            PrintLine(out, figure.name, "-", "-", "-", ShowTarget(figure), "FAILED: " + error);
            allMet = false;
            continue;
        }
        if (!value || !reference || *reference <= 0) {
            // Left out by a benchmark filter.
            continue;
        }
        const double ratio = *value / *reference;
        const bool met = ratio <= figure.highest && ratio >= figure.lowest;
        allMet = allMet && met;
        char ratioText[16];
        // Ratios far below 1 keep a third digit, so that 0.004 does not read as nothing.
        std::snprintf(ratioText, sizeof ratioText, ratio < 0.1 ? "%.3f" : "%.2f", ratio);
        PrintLine(out, figure.name, Show(*value, figure.value.unit),
                  Show(*reference, figure.reference.unit) + " (" + figure.referenceName + ")",
                  ratioText, ShowTarget(figure), met ? "PASS" : "FALL SHORT");
    }
    return allMet;
}

}  // namespace quillrun::bench
