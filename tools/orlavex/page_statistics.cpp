#include "page_statistics.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cctype>
#include <memory>

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

}  // namespace

RecognisedPage CollectConfidences(tesseract::TessBaseAPI& engine) {
    RecognisedPage page;
    const std::unique_ptr<tesseract::ResultIterator> iterator(engine.GetIterator());
    if (!iterator) {
        return page;
    }
    constexpr auto kSymbol = tesseract::RIL_SYMBOL;
    constexpr auto kWord = tesseract::RIL_WORD;
    RecognisedPage::Word word;
    const auto keepWord = [&] {
        if (word.symbols > 0) {
            page.words.push_back(std::move(word));
        }
        word = {};
    };
    do {
        if (iterator->Empty(kSymbol)) {
            continue;
        }
        if (iterator->IsAtBeginningOf(kWord)) {
            keepWord();
            word.confidence = iterator->Confidence(kWord);
        }
        const TextPtr symbol(iterator->GetUTF8Text(kSymbol));
        if (!IsBlank(symbol.get())) {
            ++word.symbols;
        }
    } while (iterator->Next(kSymbol));
    keepWord();
    return page;
}

PageStatistics ClassifyPage(const RecognisedPage& page, const CertaintyRule& rule) {
    PageStatistics statistics;
    statistics.words = static_cast<int>(page.words.size());
    for (const RecognisedPage::Word& word : page.words) {
        const int counted = std::min(word.symbols, rule.symbolsPerWord);
        statistics.characters += word.symbols;
        if (word.confidence < rule.lowWord) {
            statistics.lowCertainty += counted;
        } else if (word.confidence < rule.middlingWord) {
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
