#pragma once

#include <chrono>
#include <string>

#include "platform/process.h"

namespace quillrun {

// What a conversion job reports while it runs, and what it asks of whoever runs it. The job
// never knows whether a window, a terminal or a test reads it.
class JobObserver {
  public:
    virtual ~JobObserver() = default;

    // One activity-log line, without its time stamp and line end.
    virtual void Log(const std::string& message) = 0;

    // Called every few tens of milliseconds while the reading program works on image; EndProgram
    // ends it, as the user's Stop does.
    virtual platform::WaitVerdict ReaderRunning(const std::string& /*image*/,
                                                std::chrono::milliseconds /*elapsed*/) {
        return platform::WaitVerdict::KeepWaiting;
    }
    // Called once the reading program has ended, after any number of ReaderRunning calls.
    virtual void ReaderEnded() {}

    // The program is being ended. A reading program that ends now was ended for that reason, not
    // for its image: the image is left for the next start rather than marked as failed.
    virtual bool StopRequested() const { return false; }
};

}  // namespace quillrun
