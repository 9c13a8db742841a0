#include "cancellation.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace orlavex {

namespace {

// Written by the handler on whichever thread takes the signal and read by the recognition
// threads: a volatile sig_atomic_t is safe only within one thread, a lock-free atomic across them.
std::atomic<int> g_cancelSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void RecordCancellation(int signalNumber) {
    int none = 0;
    g_cancelSignal.compare_exchange_strong(none, signalNumber);
}

constexpr int kCancelSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

void InstallCancellationHandlers() {
    struct sigaction action {};
    action.sa_handler = RecordCancellation;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read should come back early
    for (const int signalNumber : kCancelSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
}

bool CancellationRequested() {
    return g_cancelSignal != 0;
}

void EndAsCancelled() {
    const int recorded = g_cancelSignal.load();
    const int signalNumber = recorded != 0 ? recorded : SIGTERM;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signalNumber);
    _exit(128 + signalNumber);
}

}  // namespace orlavex
