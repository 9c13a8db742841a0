#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "log/activity_log.h"
#include "support/temp_tree.h"

namespace quillrun {

class Screen : public LogScreen {
  public:
    void AppendLogText(const std::string& text) override { text_ += text; }
    std::string text_;
};

// Whether text is exactly these messages, each behind a "HH:MM:SS:  " stamp and ended by CR LF.
inline bool IsStampedLines(const std::string& text, const std::vector<std::string>& messages) {
    std::size_t at = 0;
    for (const std::string& message : messages) {
        const std::string_view stamp = std::string_view(text).substr(at, 11);
        if (stamp.size() != 11 || stamp[2] != ':' || stamp[5] != ':' || stamp.substr(8) != ":  ") {
            return false;
        }
        for (const std::size_t digit : {0, 1, 3, 4, 6, 7}) {
            if (stamp[digit] < '0' || stamp[digit] > '9') {
                return false;
            }
        }
        const std::string rest = message + "\r\n";
        if (text.compare(at + 11, rest.size(), rest) != 0) {
            return false;
        }
        at += 11 + rest.size();
    }
    return at == text.size();
}

inline std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at) {
        ++count;
    }
    return count;
}

// Log files that cannot be opened, with the system's own words for why.
struct UnopenableLog {
    std::string path;
    std::string reason;
};
std::vector<UnopenableLog> UnopenableLogs(const test::TempTree& tree);

}  // namespace quillrun
