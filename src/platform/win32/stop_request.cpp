#include "platform/win32/stop_request.h"

#include "platform/win32/unique_handle.h"

namespace quillrun::platform {

HANDLE StopRequestEvent() {
    static const UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return stop.get();
}

void RequestStop() {
    if (const HANDLE stop = StopRequestEvent(); stop != nullptr) {
        ::SetEvent(stop);
    }
}

}  // namespace quillrun::platform
