#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace quillrun::bench {

// Keeps every repetition of every benchmark so that figures can be formed from them once the
// run is over; optionally shows Google Benchmark's own report as well.
class CollectingReporter : public benchmark::BenchmarkReporter {
  public:
    explicit CollectingReporter(std::ostream* details);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    struct Samples {
        std::vector<double> cpuSeconds;  // per iteration, one per repetition
        std::map<std::string, std::vector<double>> counters;
        std::string error;
    };
    const Samples* find(const std::string& benchmark) const;

  private:
    std::unique_ptr<benchmark::ConsoleReporter> m_details;
    std::map<std::string, Samples> m_samples;
};

// Prints one line per figure: name, value, reference, ratio, target and the verdict. Returns
// false when a figure falls short or its benchmark failed.
bool PrintFigures(const CollectingReporter& results, std::ostream& out);

}  // namespace quillrun::bench
