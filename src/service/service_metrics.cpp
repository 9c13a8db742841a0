#include "service/service_metrics.h"

#include <prometheus/collectable.h>
#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/histogram.h>
#include <prometheus/registry.h>
#include <prometheus/text_serializer.h>

#include <map>
#include <utility>

namespace quillrun::service {
namespace {

using Seconds = std::chrono::duration<double>;

// Every outcome is there from the start, at 0: a rate over a series that appears only later
// misses its first increase.
constexpr std::pair<JobOutcome, const char*> kOutcomeLabels[] = {
    {JobOutcome::Converted, "converted"},
    {JobOutcome::Failed, "failed"},
    {JobOutcome::StoppedByUser, "stopped"},
    {JobOutcome::LeftForNextStart, "left_for_next_start"},
    {JobOutcome::TakenElsewhere, "taken_elsewhere"},
    {JobOutcome::PassedOver, "passed_over"},
    {JobOutcome::WorkCannotGoOn, "work_cannot_go_on"},
};

}  // namespace

struct ServiceMetrics::Figures {
    Figures()
        : registry(std::make_shared<prometheus::Registry>()),
          images(prometheus::BuildCounter()
                     .Name("quillrun_images_total")
                     .Help("Images whose job has ended, by how it ended")
                     .Register(*registry)),
          pages(prometheus::BuildCounter()
                    .Name("quillrun_pages_total")
                    .Help("Pages recognised in converted documents")
                    .Register(*registry)
                    .Add({})),
          characters(prometheus::BuildCounter()
                         .Name("quillrun_characters_total")
                         .Help("Characters recognised in converted documents")
                         .Register(*registry)
                         .Add({})),
          claimsTakenOver(prometheus::BuildCounter()
                              .Name("quillrun_claims_taken_over_total")
                              .Help("Claims of holders judged gone that this service took over")
                              .Register(*registry)
                              .Add({})),
          jobSeconds(prometheus::BuildHistogram()
                         .Name("quillrun_job_duration_seconds")
                         .Help("How long each job took, from its start to its end")
                         .Register(*registry)
                         .Add({}, prometheus::Histogram::BucketBoundaries{1, 2, 5, 10, 30, 60, 120,
                                                                          300, 600, 1800, 3600})),
          confidence(prometheus::BuildHistogram()
                         .Name("quillrun_page_confidence_percent")
                         .Help("The recognition confidence of each page")
                         .Register(*registry)
                         .Add({}, prometheus::Histogram::BucketBoundaries{50, 70, 80, 90, 95, 98,
                                                                          99, 100})),
          jobsRunning(prometheus::BuildGauge()
                          .Name("quillrun_jobs_running")
                          .Help("Jobs running now")
                          .Register(*registry)
                          .Add({})),
          imagesWaiting(prometheus::BuildGauge()
                            .Name("quillrun_images_waiting")
                            .Help("Images waiting for a job, as the last full walk counted them")
                            .Register(*registry)
                            .Add({})),
          sinceSearch(prometheus::BuildGauge()
                          .Name("quillrun_seconds_since_last_search")
                          .Help("Seconds since the last search of the source hierarchy completed")
                          .Register(*registry)
                          .Add({})) {
        for (const auto& [outcome, label] : kOutcomeLabels) {
            outcomes[outcome] = &images.Add({{"outcome", label}});
        }
    }

    std::shared_ptr<prometheus::Registry> registry;
    prometheus::Family<prometheus::Counter>& images;
    std::map<JobOutcome, prometheus::Counter*> outcomes;
    prometheus::Counter& pages;
    prometheus::Counter& characters;
    prometheus::Counter& claimsTakenOver;
    prometheus::Histogram& jobSeconds;
    prometheus::Histogram& confidence;
    prometheus::Gauge& jobsRunning;
    prometheus::Gauge& imagesWaiting;
    prometheus::Gauge& sinceSearch;
};

namespace {

// The time since the last search is only known when somebody asks: it is set as each scrape
// collects.
class Scrape final : public prometheus::Collectable {
  public:
    Scrape(std::shared_ptr<prometheus::Registry> registry, std::function<void()> refresh)
        : m_registry(std::move(registry)), m_refresh(std::move(refresh)) {}

    std::vector<prometheus::MetricFamily> Collect() const override {
        m_refresh();
        return m_registry->Collect();
    }

  private:
    const std::shared_ptr<prometheus::Registry> m_registry;
    const std::function<void()> m_refresh;
};

}  // namespace

ServiceMetrics::ServiceMetrics(Clock clock)
    : m_clock(std::move(clock)),
      m_figures(std::make_unique<Figures>()),
      m_busySince(Now()),
      m_lastSearch(Now()) {
    m_collectable = std::make_shared<Scrape>(m_figures->registry, [this] {
        m_figures->sinceSearch.Set(
            Seconds(std::chrono::nanoseconds(Now() - m_lastSearch.load())).count());
    });
}

ServiceMetrics::~ServiceMetrics() = default;

std::int64_t ServiceMetrics::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(m_clock().time_since_epoch())
        .count();
}

void ServiceMetrics::Busy() {
    m_busySince.store(Now());
    m_resting.store(false);
}

void ServiceMetrics::Resting() {
    m_resting.store(true);
}

void ServiceMetrics::SearchCompleted() {
    m_lastSearch.store(Now());
}

void ServiceMetrics::JobStarted() {
    m_figures->jobsRunning.Increment();
}

void ServiceMetrics::JobEnded(const FinishedJob& job) {
    m_figures->jobsRunning.Decrement();
    m_figures->outcomes.at(job.outcome)->Increment();
    m_figures->jobSeconds.Observe(Seconds(job.took).count());
    for (const PageStats& page : job.statistics.pages) {
        m_figures->pages.Increment();
        m_figures->characters.Increment(page.m_characters);
        m_figures->confidence.Observe(page.m_confidence);
    }
}

void ServiceMetrics::BacklogCounted(std::size_t images) {
    m_figures->imagesWaiting.Set(static_cast<double>(images));
}

void ServiceMetrics::ClaimsTakenOver(std::uint64_t total) {
    m_figures->claimsTakenOver.Increment(static_cast<double>(total - m_claimsTakenOver));
    m_claimsTakenOver = total;
}

void ServiceMetrics::Stopping() {
    m_stopping.store(true);
}

void ServiceMetrics::StartUpPassed() {
    m_ready.store(true);
}

std::string ServiceMetrics::NotLive() const {
    const auto busy = std::chrono::nanoseconds(Now() - m_busySince.load());
    if (m_resting.load() || busy < kStuckAfter) {
        return {};
    }
    return "the main loop has been at work for " +
           std::to_string(std::chrono::duration_cast<std::chrono::seconds>(busy).count()) +
           " s without completing a search or a wait\n";
}

std::string ServiceMetrics::NotReady() const {
    if (m_stopping.load()) {
        return "stopping\n";
    }
    return m_ready.load() ? std::string() : "starting\n";
}

std::shared_ptr<prometheus::Collectable> ServiceMetrics::collectable() const {
    return m_collectable;
}

std::string ServiceMetrics::Text() const {
    return prometheus::TextSerializer().Serialize(m_collectable->Collect());
}

}  // namespace quillrun::service
