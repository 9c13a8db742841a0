#include "platform/service_events.h"

#include <windows.h>

#include "platform/win32/stop_request.h"
#include "platform/win32/unique_handle.h"

namespace quillrun::platform {
namespace {

// Runs on a thread the system starts for each event. Ctrl+C, Ctrl+Break and closing the console
// are what SIGINT is on POSIX: the program stops as it does then, with the same exit code.
BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            RequestStop();
            return TRUE;
        case CTRL_CLOSE_EVENT:
            // The system ends the process as soon as this returns: waiting here leaves the
            // program the seconds the system allows to end its reading programs and log its end.
            RequestStop();
            ::Sleep(INFINITE);
            return TRUE;
        default:
            // A user logging off: a service works on, and a console program goes with the
            // session anyway. Not handling it would end a service at once.
            return TRUE;
    }
}

}  // namespace

// Stop requests arrive through the process's stop event, from the console's handler above or
// from the Service Control Manager's (service_manager_win32.cpp); wake-ups through an
// auto-reset event of this object's own. Wait waits for both.
struct ServiceEvents::Impl {
    UniqueHandle wakeUps;
    bool handlerSet = false;
};

ServiceEvents::ServiceEvents() : m_impl(std::make_unique<Impl>()) {
    m_impl->wakeUps.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_impl->handlerSet =
        StopRequestEvent() != nullptr && ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;
}

// The console's handler stays: a Ctrl+C while the program ends is not to end it with another
// exit code on its way out.
ServiceEvents::~ServiceEvents() = default;

bool ServiceEvents::isOpen() const {
    return m_impl->wakeUps.valid() && m_impl->handlerSet;
}

ServiceEvents::Event ServiceEvents::Wait(std::optional<std::chrono::milliseconds> timeout) {
    // The stop comes first: it is reported whenever it is set, also together with a wake-up.
    const HANDLE events[] = {StopRequestEvent(), m_impl->wakeUps.get()};
    const DWORD milliseconds = timeout ? static_cast<DWORD>(timeout->count()) : INFINITE;
    switch (::WaitForMultipleObjects(2, events, FALSE, milliseconds)) {
        case WAIT_OBJECT_0:
            return Event::StopRequested;
        case WAIT_OBJECT_0 + 1:
            return Event::WokenUp;
        default:
            return Event::TimedOut;
    }
}

void ServiceEvents::WakeUp() {
    ::SetEvent(m_impl->wakeUps.get());
}

bool ServiceEvents::stopRequested() const {
    return ::WaitForSingleObject(StopRequestEvent(), 0) == WAIT_OBJECT_0;
}

std::string_view StopRequestNames() {
    return "Ctrl+C and the service's stop";
}

}  // namespace quillrun::platform
