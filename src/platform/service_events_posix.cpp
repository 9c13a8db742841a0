#include "platform/service_events.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

// Reads what is there without waiting; both descriptors are non-blocking.
void Drain(int fd, std::size_t unit) {
    std::array<char, 1024> buffer{};
    const std::size_t chunk = buffer.size() / unit * unit;
    while (::read(fd, buffer.data(), chunk) > 0) {
    }
}

}  // namespace

// The stop signals are blocked in every thread and read from a signalfd, so they are never
// delivered to a handler; wake-ups go through an eventfd. Wait polls both.
struct ServiceEvents::Impl {
    sigset_t stopSignals = StopSignals();
    struct sigaction previousPipeAction {};
    UniqueFd signals;
    UniqueFd wakeUps;
    std::atomic<bool> stopSeen{false};
};

ServiceEvents::ServiceEvents() : m_impl(std::make_unique<Impl>()) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &m_impl->previousPipeAction);
    if (::pthread_sigmask(SIG_BLOCK, &m_impl->stopSignals, nullptr) != 0) {
        return;
    }
    m_impl->signals.reset(::signalfd(-1, &m_impl->stopSignals, SFD_NONBLOCK | SFD_CLOEXEC));
    m_impl->wakeUps.reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
}

// The stop signals stay blocked: one that arrives while the program ends (or that stopRequested
// saw pending but Wait never read) must not kill it on its way out with another exit status.
ServiceEvents::~ServiceEvents() {
    ::sigaction(SIGPIPE, &m_impl->previousPipeAction, nullptr);
}

bool ServiceEvents::isOpen() const {
    return m_impl->signals.valid() && m_impl->wakeUps.valid();
}

ServiceEvents::Event ServiceEvents::Wait(std::optional<std::chrono::milliseconds> timeout) {
    if (m_impl->stopSeen.load()) {
        return Event::StopRequested;
    }
    std::array<pollfd, 2> watched{
        {{m_impl->signals.get(), POLLIN, 0}, {m_impl->wakeUps.get(), POLLIN, 0}}};
    const int milliseconds = timeout ? static_cast<int>(timeout->count()) : -1;
    int ready = 0;
    do {
        ready = ::poll(watched.data(), watched.size(), milliseconds);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return Event::TimedOut;
    }
    if (watched[0].revents != 0) {
        // Noted before the signal is taken off the pending set, so that stopRequested() never
        // misses it in between.
        m_impl->stopSeen.store(true);
        Drain(m_impl->signals.get(), sizeof(signalfd_siginfo));
        return Event::StopRequested;
    }
    Drain(m_impl->wakeUps.get(), sizeof(std::uint64_t));
    return Event::WokenUp;
}

void ServiceEvents::WakeUp() {
    const std::uint64_t one = 1;
    // A full counter still wakes the waiter; nothing else can go wrong worth reporting.
    [[maybe_unused]] const ssize_t written = ::write(m_impl->wakeUps.get(), &one, sizeof one);
}

bool ServiceEvents::stopRequested() const {
    if (m_impl->stopSeen.load()) {
        return true;
    }
    sigset_t pending;
    sigemptyset(&pending);
    return ::sigpending(&pending) == 0 &&
           (sigismember(&pending, SIGTERM) == 1 || sigismember(&pending, SIGINT) == 1);
}

std::string_view StopRequestNames() {
    return "SIGTERM and SIGINT";
}

}  // namespace quillrun::platform
