#include "orlavex/text_comparison.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
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

std::string PlainTypography(const std::string& text) {
    static const std::pair<std::string, std::string> kPlainForms[] = {
        {"\uFB00", "ff"}, {"\uFB01", "fi"},  {"\uFB02", "fl"}, {"\uFB03", "ffi"}, {"\uFB04", "ffl"},
        {"\u2018", "'"},  {"\u2019", "'"},   {"\u201C", "\""}, {"\u201D", "\""},  {"\u2010", "-"},
        {"\u2011", "-"},  {"\u2012", "-"},   {"\u2013", "-"},  {"\u2014", "-"},   {"\u2212", "-"},
        {"\u00A0", " "},  {"\u2026", "..."}, {"\u00B4", "'"},  {"\u2032", "'"},   {"\u00AD", "-"},
    };
    std::string plain;
    for (std::size_t i = 0; i < text.size();) {
        // A word broken at a line end is one word: "recog-\nnised" is "recognised", as a PDF's
        // text layer has it.
        if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '\n' && !plain.empty() &&
            std::isalpha(static_cast<unsigned char>(plain.back())) != 0) {
            std::size_t after = i + 1;
            while (after < text.size() && std::isspace(static_cast<unsigned char>(text[after]))) {
                ++after;
            }
            if (after < text.size() && std::isalpha(static_cast<unsigned char>(text[after]))) {
                i = after;
                continue;
            }
        }
        bool replaced = false;
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            for (const auto& [form, letters] : kPlainForms) {
                if (text.compare(i, form.size(), form) == 0) {
                    plain += letters;
                    i += form.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            plain += text[i++];
        }
    }
    return plain;
}

namespace {

// ASCII letters and digits, and the accented letters of the Latin alphabets (two-byte UTF-8
// sequences from U+00C0); bullets, arrows and rules are three-byte sequences.
bool HasLetterOrDigit(const std::string& word) {
    return std::any_of(word.begin(), word.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return std::isalnum(byte) != 0 || (byte >= 0xC3 && byte <= 0xDF);
    });
}

// A text's words in order: its blank-separated pieces that hold a letter or a digit.
std::vector<std::string> WordsOf(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream pieces(PlainTypography(text));
    for (std::string word; pieces >> word;) {
        if (HasLetterOrDigit(word)) {
            words.push_back(std::move(word));
        }
    }
    return words;
}

}  // namespace

WordComparison CompareWords(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> page = WordsOf(expected);
    std::map<std::string, int> read;
    for (const std::string& word : WordsOf(actual)) {
        ++read[word];
    }
    const auto take = [&](const std::string& word) {
        const auto found = read.find(word);
        if (found == read.end() || found->second == 0) {
            return false;
        }
        --found->second;
        return true;
    };
    std::vector<bool> found(page.size());
    for (std::size_t i = 0; i < page.size(); ++i) {
        found[i] = take(page[i]);
    }
    // A PDF's text layer sometimes breaks a word where kerning leaves a gap ("por tability"), and
    // TeX draws the underscores of code as rules that leave only gaps ("asn1 read value"): up to
    // four neighbours not found that were read as one word, joined or with underscores, count as
    // found.
    constexpr std::size_t kLongestRun = 4;
    for (std::size_t i = 0; i < page.size(); ++i) {
        for (std::size_t length = kLongestRun; length >= 2 && !found[i]; --length) {
            if (i + length > page.size() ||
                std::any_of(found.begin() + i, found.begin() + i + length,
                            [](bool f) { return f; })) {
                continue;
            }
            for (const char* joiner : {"", "_"}) {
                std::string joined = page[i];
                for (std::size_t k = 1; k < length; ++k) {
                    joined += joiner + page[i + k];
                }
                if (take(joined)) {
                    std::fill(found.begin() + i, found.begin() + i + length, true);
                    break;
                }
            }
        }
    }
    WordComparison comparison;
    comparison.expected = static_cast<int>(page.size());
    comparison.missed = static_cast<int>(std::count(found.begin(), found.end(), false));
    for (const auto& [word, count] : read) {
        comparison.extra += count;
    }
    return comparison;
}

double CharacterErrorRate(const std::string& expected, const std::string& actual) {
    const std::string a = NormalisedText(PlainTypography(expected));
    const std::string b = NormalisedText(PlainTypography(actual));
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

double CharacterErrorRateInAnyOrder(const std::string& expected, const std::string& actual) {
    const auto sorted = [](const std::string& text) {
        std::vector<std::string> words = WordsOf(text);
        std::sort(words.begin(), words.end());
        std::string joined;
        for (const std::string& word : words) {
            joined += word + " ";
        }
        return joined;
    };
    return CharacterErrorRate(sorted(expected), sorted(actual));
}

}  // namespace orlavex::test
