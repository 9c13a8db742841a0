#pragma once

#include <chrono>
#include <string>

#include "log/activity_log.h"
#include "platform/process.h"

namespace quillrun {

// What the engine needs of the window that owns it. The main dialog implements it; tests
// implement it without a display.
class EngineHost : public LogScreen {
  public:
    // Replaces the whole text of the status field.
    virtual void SetStatusText(const std::string& text) = 0;
    // Arms the work cycle's timer: one tick after intervalMs, on the thread that owns the
    // dialog, serialised with its other events. Returns timerId, or 0 when arming failed.
    virtual unsigned ArmTimer(unsigned timerId, int intervalMs) = 0;
    virtual void KillTimer(unsigned timerId) = 0;
    virtual void EnableStatisticsButton() = 0;

    // Called every few tens of milliseconds while the reading program works on image, so the
    // window can stay responsive and offer a way to end the wait.
    virtual platform::WaitVerdict ReaderRunning(const std::string& /*image*/,
                                                std::chrono::milliseconds /*elapsed*/) {
        return platform::WaitVerdict::KeepWaiting;
    }
    // Called once the reading program has ended, after at least one ReaderRunning call or none.
    virtual void ReaderEnded() {}
    // The program is being ended (a service told to stop). A reading program that ends now was
    // ended for that reason, not for its image: the image is left for the next start rather than
    // marked as failed.
    virtual bool StopRequested() { return false; }
};

}  // namespace quillrun
