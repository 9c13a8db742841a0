#include <windows.h>

#include <cstdio>

#include "platform/local_time.h"

namespace quillrun::platform {

std::optional<std::string> FormatLogTimeStamp() {
    // What strftime's "%X" gives in the C locale: the 24-hour time of day, whatever the user's
    // regional settings say.
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02u:%02u:%02u:  ", local.wHour, local.wMinute,
                  local.wSecond);
    return std::string(stamp);
}

std::optional<std::string> FormatFileNameTimeStamp() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", local.wYear, local.wMonth,
                  local.wDay, local.wHour, local.wMinute, local.wSecond);
    return std::string(stamp);
}

}  // namespace quillrun::platform
