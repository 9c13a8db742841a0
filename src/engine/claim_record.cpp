#include "engine/claim_record.h"

#include <charconv>

namespace quillrun {
namespace {

constexpr std::string_view kFirstLine = "Quillrun claim";
constexpr std::string_view kLastLine = "end";

// A value never spans lines; anything that would is shown as '?'.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = '?';
        }
    }
    return text;
}

bool ParseNumber(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::string FormatClaimRecord(const platform::ProcessIdentity& holder) {
    return std::string(kFirstLine) + "\nhost=" + OneLine(holder.host) +
           "\nmachine=" + OneLine(holder.machine) + "\nboot=" + OneLine(holder.boot) +
           "\nscope=" + OneLine(holder.scope) + "\npid=" + std::to_string(holder.pid) +
           "\nstarted=" + std::to_string(holder.started) + "\n" + std::string(kLastLine) + "\n";
}

std::optional<platform::ProcessIdentity> ParseClaimRecord(std::string_view text) {
    platform::ProcessIdentity holder;
    bool first = true;
    bool hasPid = false;
    bool hasStart = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;  // the last line is still being written
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != kFirstLine) {
                return std::nullopt;
            }
            first = false;
            continue;
        }
        if (line == kLastLine) {
            return hasPid && hasStart ? std::optional(holder) : std::nullopt;
        }
        const std::size_t equals = line.find('=');
        const std::string_view name = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        if (name == "host") {
            holder.host = value;
        } else if (name == "machine") {
            holder.machine = value;
        } else if (name == "boot") {
            holder.boot = value;
        } else if (name == "scope") {
            holder.scope = value;
        } else if (name == "pid") {
            hasPid = ParseNumber(value, holder.pid);
        } else if (name == "started") {
            hasStart = ParseNumber(value, holder.started);
        }
    }
    return std::nullopt;
}

}  // namespace quillrun
