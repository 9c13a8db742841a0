#include "cancellation.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

namespace orlavex {

namespace {

volatile std::sig_atomic_t g_cancelSignal = 0;

extern "C" void RecordCancellation(int signalNumber) {
    if (g_cancelSignal == 0) {
        g_cancelSignal = signalNumber;
    }
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
    const int signalNumber = g_cancelSignal != 0 ? static_cast<int>(g_cancelSignal) : SIGTERM;
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
