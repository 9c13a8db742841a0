#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>

namespace quillrun::platform {

// What a program that runs as a service waits for: a request to stop (SIGTERM or SIGINT on
// POSIX; on Windows Ctrl+C, Ctrl+Break, closing the console, or the Service Control Manager's
// stop, shutdown or preshutdown), or a wake-up from one of its own threads. Nothing is done
// inside a signal or control handler: the request is picked up by Wait on the thread that waits.
//
// Make it before starting any other thread (the threads inherit its signal settings), and only
// one at a time. The stop requests stay taken over when it goes: one that arrives while the
// program ends is not to kill it on its way out. A service's standard output or error that goes
// away no longer ends the program either: writing to it then simply fails.
class ServiceEvents {
  public:
    ServiceEvents();
    ~ServiceEvents();
    ServiceEvents(const ServiceEvents&) = delete;
    ServiceEvents& operator=(const ServiceEvents&) = delete;

    // False when the stop signals could not be taken over; the service cannot run then.
    bool isOpen() const;

    enum class Event { StopRequested, WokenUp, TimedOut };
    // Waits until a stop is requested, another thread calls WakeUp or the timeout has passed
    // (without a timeout, for as long as it takes). A stop requested once is reported by every
    // later call at once.
    Event Wait(std::optional<std::chrono::milliseconds> timeout);

    // From any thread: makes the waiting thread's Wait return WokenUp (or the next one, when none
    // waits right now).
    void WakeUp();

    // From any thread: whether a stop has been requested, also one that has arrived but that
    // Wait has not yet picked up.
    bool stopRequested() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The stop requests as users know them, for saying that they could not be taken over.
std::string_view StopRequestNames();

}  // namespace quillrun::platform
