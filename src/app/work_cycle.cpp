#include "app/work_cycle.h"

#include "app/main_dialog_view.h"
#include "engine/job_observer.h"
#include "resources/resource_ids.h"

namespace quillrun::app {

// What the job on the worker reports, handed on to the dialog's thread.
class WorkCycle::Observer : public JobObserver {
  public:
    Observer(WorkCycle& cycle, std::stop_token stop) : m_cycle(cycle), m_stop(std::move(stop)) {}

    void Log(const std::string& message) override { m_cycle.PostLogLine(message); }

    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds elapsed) override {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed);
        if (!m_shown) {
            m_shown = true;
            m_cycle.Post([&cycle = m_cycle, image] {
                cycle.m_readerRunning = true;
                cycle.m_view.ShowReaderProgress(image);
            });
        } else if (seconds != m_shownSeconds) {
            // The window shows whole seconds; anything more often would only flood it.
            m_cycle.Post([&view = m_cycle.m_view, elapsed] { view.SetReaderElapsed(elapsed); });
        }
        m_shownSeconds = seconds;
        return m_cycle.m_readerStopRequested || StopRequested()
                   ? platform::WaitVerdict::EndProgram
                   : platform::WaitVerdict::KeepWaiting;
    }

    // A reading program that ends within its first poll is never shown: closing what is not
    // there does nothing.
    void ReaderEnded() override {
        m_cycle.Post([&cycle = m_cycle] {
            cycle.m_view.CloseReaderProgress();
            cycle.m_readerRunning = false;
        });
    }

    bool StopRequested() const override { return m_stop.stop_requested(); }

  private:
    WorkCycle& m_cycle;
    const std::stop_token m_stop;
    bool m_shown = false;
    std::chrono::seconds m_shownSeconds{0};
};

WorkCycle::WorkCycle(MainDialogView& view, const Settings& settings)
    : m_view(view), m_settings(settings), m_log(view) {}

WorkCycle::~WorkCycle() {
    Stop();
}

void WorkCycle::SetStatus(const std::string& text) {
    m_view.SetControlText(kStatusEdit, text);
}

void WorkCycle::Log(const std::string& message) {
    m_log.Write(message, m_settings.writeLog, m_settings.logPath);
}

void WorkCycle::Start() {
    m_search.emplace(m_settings.sourcePath, m_settings.destPath, m_claims,
                     [this](const std::string& message) { PostLogLine(message); });
    RunWorkCycle();
}

void WorkCycle::OnTimer() {
    m_view.KillTimer(m_timerId);
    RunWorkCycle();
}

void WorkCycle::Stop() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    m_view.KillTimer(m_timerId);
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
    // What the last cycle said belongs in the log, although no cycle follows.
    m_posted.RunAll();
    m_log.Flush();
    *m_alive = false;
}

void WorkCycle::RunWorkCycle() {
    // The next tick is armed only when a cycle ends, so a cycle under way has one already coming.
    if (m_cycleRunning || m_stopped || !m_search) {
        return;
    }
    m_cycleRunning = true;
    // Edits of the fields apply from the next image: the job takes the settings as they are now.
    m_worker = std::jthread([this, settings = m_settings](std::stop_token stop) {
        CycleEnd end = CycleOnWorker(stop, settings);
        end.interval = m_interval;
        Post([this, end = std::move(end)]() mutable { EndCycle(std::move(end)); });
    });
}

WorkCycle::CycleEnd WorkCycle::CycleOnWorker(std::stop_token stop, const Settings& settings) {
    Observer observer(*this, stop);
    CycleEnd end;
    // The previous document must be released before anything else happens.
    switch (m_release.Check(observer)) {
        case DocumentRelease::State::Waiting:
            return end;
        case DocumentRelease::State::NowInUse:
            Post([this] { SetStatus(kStatusWaitingForDocument); });
            return end;
        case DocumentRelease::State::Free:
            break;
    }
    const std::optional<Candidate> candidate =
        m_search->Next([&stop] { return stop.stop_requested(); });
    if (candidate) {
        Post([this] { SetStatus(kStatusWorking); });
        m_readerStopRequested = false;
        TakeOutcome(*candidate,
                    ConversionJob(settings, *candidate, m_readerPath, m_claims, observer).Run(),
                    end);
    } else if (!stop.stop_requested()) {
        Post([this] { SetStatus(kStatusWaiting); });
        m_interval = kLaterInterval;
    }
    return end;
}

void WorkCycle::TakeOutcome(const Candidate& candidate, JobResult result, CycleEnd& end) {
    if (result.readerRan) {
        m_interval = kLaterInterval;
    }
    switch (result.outcome) {
        case JobOutcome::Converted:
            // The next image waits until the reading program, or whoever reads the document
            // next, has let go of it.
            m_release.WaitFor(candidate.document, true);
            end.statistics = std::move(result.statistics);
            break;
        case JobOutcome::WorkCannotGoOn:
            // The document never comes, so no new image is taken until the program is restarted.
            // Say so rather than go on showing "Working".
            m_release.WaitFor(candidate.document, false);
            Post([this] { SetStatus(kStatusStopped); });
            break;
        case JobOutcome::PassedOver:
            m_search->PassOver(candidate.document);
            break;
        case JobOutcome::Failed:
        case JobOutcome::StoppedByUser:
        case JobOutcome::LeftForNextStart:
        case JobOutcome::TakenElsewhere:
            break;
    }
}

void WorkCycle::EndCycle(CycleEnd end) {
    m_cycleRunning = false;
    if (end.statistics && !end.statistics->pages.empty()) {
        m_pageStats.AppendDocument(*end.statistics);
        m_view.EnableControl(kStatisticsButton, true);
    }
    if (!m_stopped) {
        m_timerId = m_view.ArmTimer(kWorkTimerId, end.interval);
    }
}

void WorkCycle::PostLogLine(const std::string& message) {
    // Stamped when it happens, written when the dialog's thread gets to it.
    Post([this, line = StampLogLine(message)] {
        m_log.WriteLines(line, m_settings.writeLog, m_settings.logPath);
    });
}

void WorkCycle::Post(std::function<void()> action) {
    if (m_posted.Post(std::move(action))) {
        m_view.RunOnDialogThread([alive = m_alive, this] {
            if (*alive) {
                m_posted.RunAll();
            }
        });
    }
}

}  // namespace quillrun::app
