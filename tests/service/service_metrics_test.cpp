// The figures --metrics serves and the health its probes report, counted from what the main loop
// tells them.
#include <gtest/gtest.h>

#include "service/service_metrics.h"

namespace quillrun::service {
namespace {

using namespace std::chrono_literals;

struct ManualClock {
    std::chrono::steady_clock::time_point now{};
    ServiceMetrics::Clock clock() {
        return [this] { return now; };
    }
};

DocumentStatistics Pages(const std::vector<std::pair<int, float>>& pages) {
    DocumentStatistics statistics{"/out/page.orx", {}};
    for (const auto& [characters, confidence] : pages) {
        PageStats page;
        page.m_characters = characters;
        page.m_confidence = confidence;
        statistics.pages.push_back(page);
    }
    return statistics;
}

TEST(ServiceMetrics, CountsEveryEndedJobByItsOutcomeWithItsPagesAndItsTime) {
    const struct {
        JobOutcome outcome;
        std::chrono::milliseconds took;
        DocumentStatistics statistics;
    } jobs[] = {
        {JobOutcome::Converted, 1500ms, Pages({{1000, 99.5f}, {200, 60.0f}})},
        {JobOutcome::Converted, 40s, Pages({{300, 96.0f}})},
        {JobOutcome::Failed, 500ms, {}},
        {JobOutcome::LeftForNextStart, 3s, {}},
        {JobOutcome::TakenElsewhere, 10ms, {}},
    };
    ManualClock clock;
    ServiceMetrics metrics(clock.clock());
    for (std::size_t started = 0; started <= std::size(jobs); ++started) {
        metrics.JobStarted();
    }
    for (const auto& job : jobs) {
        metrics.JobEnded({job.outcome, job.took, job.statistics});
    }
    metrics.BacklogCounted(17);
    metrics.ClaimsTakenOver(2);
    metrics.ClaimsTakenOver(3);
    clock.now += 90s;

    const std::string text = metrics.Text();
    for (const char* line : {
             "quillrun_images_total{outcome=\"converted\"} 2\n",
             "quillrun_images_total{outcome=\"failed\"} 1\n",
             "quillrun_images_total{outcome=\"left_for_next_start\"} 1\n",
             "quillrun_images_total{outcome=\"taken_elsewhere\"} 1\n",
             "quillrun_images_total{outcome=\"stopped\"} 0\n",
             "quillrun_pages_total 3\n",
             "quillrun_characters_total 1500\n",
             "quillrun_claims_taken_over_total 3\n",
             "quillrun_jobs_running 1\n",
             "quillrun_images_waiting 17\n",
             "quillrun_seconds_since_last_search 90\n",
             "quillrun_job_duration_seconds_count 5\n",
             "quillrun_job_duration_seconds_bucket{le=\"1\"} 2\n",
             "quillrun_job_duration_seconds_bucket{le=\"5\"} 4\n",
             "quillrun_job_duration_seconds_bucket{le=\"30\"} 4\n",
             "quillrun_page_confidence_percent_bucket{le=\"70\"} 1\n",
             "quillrun_page_confidence_percent_bucket{le=\"98\"} 2\n",
             "quillrun_page_confidence_percent_bucket{le=\"100\"} 3\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}

TEST(ServiceMetrics, IsLiveUnlessTheMainLoopWorksTooLongAndReadyFromTheStartUpToTheStop) {
    const struct {
        void (ServiceMetrics::*step)();
        std::chrono::seconds after;
        bool live;
        std::string notReady;
    } steps[] = {
        {&ServiceMetrics::Busy, 299s, true, "starting\n"},
        {&ServiceMetrics::StartUpPassed, 2s, false, ""},
        {&ServiceMetrics::Resting, 3600s, true, ""},
        {&ServiceMetrics::Busy, 200s, true, ""},
        {&ServiceMetrics::Resting, 0s, true, ""},
        {&ServiceMetrics::Busy, 301s, false, ""},
        {&ServiceMetrics::Stopping, 0s, false, "stopping\n"},
    };
    ManualClock clock;
    ServiceMetrics metrics(clock.clock());
    for (const auto& s : steps) {
        (metrics.*s.step)();
        clock.now += s.after;
        const std::size_t index = static_cast<std::size_t>(&s - steps);
        EXPECT_EQ(metrics.NotLive().empty(), s.live) << index;
        EXPECT_EQ(metrics.NotReady(), s.notReady) << index;
    }
}

}  // namespace
}  // namespace quillrun::service
