#include "service/service_job.h"

#include "engine/quillrun_engine.h"
#include "service/page_statistics_csv.h"
#include "service/service_log.h"

namespace quillrun::service {

ServiceJob::ServiceJob(const JobContext& context, std::string image, std::string document)
    : m_context(context),
      m_image(std::move(image)),
      m_document(std::move(document)),
      m_thread(&ServiceJob::Run, this) {}

ServiceJob::~ServiceJob() {
    m_thread.join();
}

void ServiceJob::Run() {
    QuillrunEngine engine(*this);
    engine.settings() = m_context.settings;
    // The lines reach the log file through the service's log, together, when the job ends.
    engine.settings().writeLog = false;
    engine.SetReaderPath(m_context.readerPath);
    engine.SetImageClaims(m_context.claims);
    if (!m_context.events.stopRequested()) {
        engine.AcceptImage(m_image, m_document);
        engine.ConvertImage();
    }
    if (m_context.pageStatistics != nullptr) {
        m_context.pageStatistics->Append(engine.pageStats());
    }
    m_context.log.WriteLines(m_lines);
    m_context.claims->Release(m_document);
    m_finished.store(true);
    m_context.events.WakeUp();
}

void ServiceJob::SetStatusText(const std::string& text) {
    if (text == kStatusStopped) {
        m_stoppedWork.store(true);
    }
}

void ServiceJob::AppendLogText(const std::string& text) {
    m_lines += text;
}

// The service runs no work cycle: it searches and starts jobs itself.
unsigned ServiceJob::ArmTimer(unsigned /*timerId*/, int /*intervalMs*/) {
    return 0;
}

void ServiceJob::KillTimer(unsigned /*timerId*/) {}

void ServiceJob::EnableStatisticsButton() {}

platform::WaitVerdict ServiceJob::ReaderRunning(const std::string& /*image*/,
                                                std::chrono::milliseconds /*elapsed*/) {
    return m_context.events.stopRequested() ? platform::WaitVerdict::EndProgram
                                            : platform::WaitVerdict::KeepWaiting;
}

bool ServiceJob::StopRequested() {
    return m_context.events.stopRequested();
}

}  // namespace quillrun::service
