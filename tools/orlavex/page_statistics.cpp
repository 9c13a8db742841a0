#include "page_statistics.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <tesseract/unichar.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace orlavex {

namespace {

struct DeleteText {
    void operator()(char* text) const { delete[] text; }
};
using TextPtr = std::unique_ptr<char[], DeleteText>;

bool IsBlank(const char* text) {
    if (text == nullptr) {
        return true;
    }
    for (; *text != '\0'; ++text) {
        if (std::isspace(static_cast<unsigned char>(*text)) == 0) {
            return false;
        }
    }
    return true;
}

// Code points that are signs rather than letters or digits: ASCII and Latin-1 punctuation and
// symbols, general punctuation through dingbats and arrows, supplemental and CJK punctuation,
// private use, vertical, compatibility and full-width punctuation, specials, and pictographs.
// Everything else from U+00C0 on is taken for a letter: the scripts Tesseract reads are there.
constexpr std::pair<char32_t, char32_t> kSigns[] = {
    {0x0000, 0x002F}, {0x003A, 0x0040},   {0x005B, 0x0060},       {0x007B, 0x00BF},
    {0x00D7, 0x00D7}, {0x00F7, 0x00F7},   {0x2000, 0x2BFF},       {0x2E00, 0x2E7F},
    {0x3000, 0x303F}, {0xE000, 0xF8FF},   {0xFE10, 0xFE1F},       {0xFE30, 0xFE6F},
    {0xFF00, 0xFF0F}, {0xFF1A, 0xFF20},   {0xFF3B, 0xFF40},       {0xFF5B, 0xFF65},
    {0xFFF0, 0xFFFF}, {0x1F000, 0x1FAFF}, {0x110000, 0x7FFFFFFF},
};

bool IsLetterOrDigit(char32_t codePoint) {
    return std::none_of(std::begin(kSigns), std::end(kSigns), [codePoint](const auto& range) {
        return codePoint >= range.first && codePoint <= range.second;
    });
}

// Hyphens, minus and dashes: the engine takes them for one another, and a word broken at a line
// end may end with any of them.
bool IsDash(const char* symbol) {
    constexpr std::string_view kDashes[] = {"-",      "\u2010", "\u2011", "\u00AD",
                                            "\u2012", "\u2013", "\u2014", "\u2212"};
    return std::find(std::begin(kDashes), std::end(kDashes), symbol) != std::end(kDashes);
}

}  // namespace

bool HoldsLetterOrDigit(const char* text) {
    // Malformed UTF-8 comes back empty, and so holds nothing.
    const std::vector<tesseract::char32> codePoints = tesseract::UNICHAR::UTF8ToUTF32(text);
    return std::any_of(codePoints.begin(), codePoints.end(), [](tesseract::char32 codePoint) {
        return codePoint >= 0 && IsLetterOrDigit(static_cast<char32_t>(codePoint));
    });
}

RecognisedPage CollectConfidences(tesseract::TessBaseAPI& engine) {
    RecognisedPage page;
    const std::unique_ptr<tesseract::ResultIterator> iterator(engine.GetIterator());
    if (!iterator) {
        return page;
    }
    constexpr auto kSymbol = tesseract::RIL_SYMBOL;
    constexpr auto kWord = tesseract::RIL_WORD;
    RecognisedPage::Word word;
    bool lastInLine = false;
    bool lastSymbolIsDash = false;
    bool dashBeforeLastSymbol = false;
    const auto keepWord = [&] {
        if (word.symbols > 0) {
            word.hyphenatedAtLineEnd = lastInLine && word.symbols > 1 && lastSymbolIsDash;
            // The hyphen that breaks a word at the line end is no dash in the word.
            word.holdsDash =
                dashBeforeLastSymbol || (lastSymbolIsDash && !word.hyphenatedAtLineEnd);
            page.words.push_back(word);
        }
        word = {};
        lastSymbolIsDash = false;
        dashBeforeLastSymbol = false;
    };
    do {
        if (iterator->Empty(kSymbol)) {
            continue;
        }
        if (iterator->IsAtBeginningOf(kWord)) {
            keepWord();
            word.confidence = iterator->Confidence(kWord);
            lastInLine = iterator->IsAtFinalElement(tesseract::RIL_TEXTLINE, kWord);
        }
        const TextPtr symbol(iterator->GetUTF8Text(kSymbol));
        if (!IsBlank(symbol.get())) {
            ++word.symbols;
            word.holdsLetterOrDigit = word.holdsLetterOrDigit || HoldsLetterOrDigit(symbol.get());
            dashBeforeLastSymbol = dashBeforeLastSymbol || lastSymbolIsDash;
            lastSymbolIsDash = IsDash(symbol.get());
        }
    } while (iterator->Next(kSymbol));
    keepWord();
    return page;
}

std::vector<RecognisedPage::Word> WordsAsRead(const RecognisedPage& page) {
    std::vector<RecognisedPage::Word> words;
    for (std::size_t i = 0; i < page.words.size(); ++i) {
        RecognisedPage::Word word = page.words[i];
        if (!word.holdsLetterOrDigit) {
            continue;
        }
        if (word.hyphenatedAtLineEnd && i + 1 < page.words.size() &&
            page.words[i + 1].holdsLetterOrDigit) {
            const RecognisedPage::Word& rest = page.words[++i];
            word.confidence = std::max(word.confidence, rest.confidence);
            word.symbols += rest.symbols;
            word.holdsDash = word.holdsDash || rest.holdsDash;
            word.hyphenatedAtLineEnd = false;
        }
        words.push_back(word);
    }
    return words;
}

PageStatistics ClassifyPage(const RecognisedPage& page, const CertaintyRule& rule) {
    PageStatistics statistics;
    statistics.words = static_cast<int>(page.words.size());
    for (const RecognisedPage::Word& word : page.words) {
        statistics.characters += word.symbols;
    }
    for (const RecognisedPage::Word& word : WordsAsRead(page)) {
        const int counted = std::min(word.symbols, rule.symbolsPerWord);
        const float middling = word.holdsDash ? rule.middlingDashedWord : rule.middlingWord;
        if (word.confidence < rule.lowWord) {
            statistics.lowCertainty += counted;
        } else if (word.confidence < middling) {
            statistics.middlingCertainty += counted;
        }
    }
    return statistics;
}

std::string FormatStatisticsLine(const PageStatistics& statistics) {
    return std::to_string(statistics.characters) + ", " + std::to_string(statistics.lowCertainty) +
           ", " + std::to_string(statistics.middlingCertainty) + ", " +
           std::to_string(statistics.words) + ", " + std::to_string(statistics.rotation) + "\r\n";
}

}  // namespace orlavex
