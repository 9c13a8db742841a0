#include "orlavex/text_comparison.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace orlavex::test {

std::string NormalisedText(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!result.empty() && result.back() != ' ') {
                result += ' ';
            }
        } else {
            result += c;
        }
    }
    while (!result.empty() && result.back() == ' ') {
        result.pop_back();
    }
    return result;
}

double CharacterErrorRate(const std::string& expected, const std::string& actual) {
    const std::string a = NormalisedText(expected);
    const std::string b = NormalisedText(actual);
    if (a.empty()) {
        return b.empty() ? 0.0 : 1.0;
    }
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        }
        std::swap(previous, current);
    }
    return static_cast<double>(previous[b.size()]) / static_cast<double>(a.size());
}

}  // namespace orlavex::test
