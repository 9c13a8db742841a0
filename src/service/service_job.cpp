#include "service/service_job.h"

#include "engine/job_observer.h"
#include "log/activity_log.h"
#include "service/page_statistics_csv.h"
#include "service/service_log.h"

namespace quillrun::service {
namespace {

// Keeps the job's stamped lines together, and ends its reading program when the service is
// asked to stop.
class JobLines final : public JobObserver {
  public:
    explicit JobLines(const platform::ServiceEvents& events) : m_events(events) {}

    void Log(const std::string& message) override { lines += StampLogLine(message); }
    platform::WaitVerdict ReaderRunning(const std::string& /*image*/,
                                        std::chrono::milliseconds /*elapsed*/) override {
        return StopRequested() ? platform::WaitVerdict::EndProgram
                               : platform::WaitVerdict::KeepWaiting;
    }
    bool StopRequested() const override { return m_events.stopRequested(); }

    std::string lines;

  private:
    const platform::ServiceEvents& m_events;
};

}  // namespace

ServiceJob::ServiceJob(const JobContext& context, Candidate candidate)
    : m_context(context), m_candidate(std::move(candidate)), m_thread(&ServiceJob::Run, this) {}

ServiceJob::~ServiceJob() {
    m_thread.join();
}

void ServiceJob::Run() {
    const auto start = std::chrono::steady_clock::now();
    JobLines lines(m_context.events);
    if (!m_context.events.stopRequested()) {
        JobResult result = ConversionJob(m_context.settings, m_candidate, m_context.readerPath,
                                         m_context.claims, lines)
                               .Run();
        m_outcome = result.outcome;
        if (m_context.pageStatistics != nullptr) {
            m_context.pageStatistics->Append(result.statistics);
        }
        m_statistics = std::move(result.statistics);
    }
    m_took = std::chrono::steady_clock::now() - start;
    m_context.log.WriteLines(lines.lines);
    m_lines = std::move(lines.lines);
    m_context.claims.Release(m_candidate.document);
    m_finished.store(true);
    m_context.events.WakeUp();
}

}  // namespace quillrun::service
