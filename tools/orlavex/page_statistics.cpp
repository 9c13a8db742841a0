#include "page_statistics.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

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
    float wordConfidence = 100.0F;
    do {
        if (iterator->Empty(kSymbol)) {
            continue;
        }
        if (iterator->IsAtBeginningOf(kWord)) {
            wordConfidence = iterator->Confidence(kWord);
            const TextPtr word(iterator->GetUTF8Text(kWord));
            if (!IsBlank(word.get())) {
                ++page.words;
            }
        }
        const TextPtr symbol(iterator->GetUTF8Text(kSymbol));
        if (!IsBlank(symbol.get())) {
            page.symbols.push_back({iterator->Confidence(kSymbol), wordConfidence});
        }
    } while (iterator->Next(kSymbol));
    return page;
}

PageStatistics ClassifyPage(const RecognisedPage& page, const CertaintyThresholds& thresholds) {
    PageStatistics statistics;
    statistics.words = page.words;
    statistics.characters = static_cast<int>(page.symbols.size());
    for (const RecognisedPage::Symbol& symbol : page.symbols) {
        if (symbol.confidence < thresholds.lowSymbol ||
            symbol.wordConfidence < thresholds.lowWord) {
            ++statistics.lowCertainty;
        } else if (symbol.confidence < thresholds.middlingSymbol ||
                   symbol.wordConfidence < thresholds.middlingWord) {
            ++statistics.middlingCertainty;
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
