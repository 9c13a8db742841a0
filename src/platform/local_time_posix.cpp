#include "platform/local_time.h"

#include <locale.h>
#include <clocale>
#include <ctime>

namespace quillrun::platform {

std::optional<std::string> FormatLogTimeStamp() {
    // The user interface may switch the process to the user's locale; the stamp keeps the
    // run-time library's default form all the same.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || ::localtime_r(&now, &local) == nullptr ||
        cLocale == nullptr) {
        return std::nullopt;
    }
    char buffer[128];
    const std::size_t length = ::strftime_l(buffer, sizeof buffer, "%X:  ", &local, cLocale);
    return std::string(buffer, length);
}

std::optional<std::string> FormatFileNameTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32];
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local) == 0) {
        return std::nullopt;
    }
    return std::string(text);
}

}  // namespace quillrun::platform
