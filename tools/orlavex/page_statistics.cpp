#include "page_statistics.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <cctype>
#include <memory>

namespace orlavex {

namespace {

// Certainty classes, from Tesseract's confidences (0 to 100). The LSTM engine gives nearly every
// symbol above 90 even on a poor page, so a symbol's own confidence alone cannot tell the pages
// apart; the confidence of the word it belongs to falls much further on a damaged line, and
// both are consulted. Calibrated on a clean and a degraded page (docs/orlavex.md).
constexpr float kLowSymbol = 60.0F;
constexpr float kLowWord = 60.0F;
constexpr float kMiddlingSymbol = 85.0F;
constexpr float kMiddlingWord = 85.0F;

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

PageStatistics CountRecognisedPage(tesseract::TessBaseAPI& engine) {
    PageStatistics statistics;
    const std::unique_ptr<tesseract::ResultIterator> iterator(engine.GetIterator());
    if (!iterator) {
        return statistics;
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
                ++statistics.words;
            }
        }
        const TextPtr symbol(iterator->GetUTF8Text(kSymbol));
        if (IsBlank(symbol.get())) {
            continue;
        }
        ++statistics.characters;
        const float symbolConfidence = iterator->Confidence(kSymbol);
        if (symbolConfidence < kLowSymbol || wordConfidence < kLowWord) {
            ++statistics.lowCertainty;
        } else if (symbolConfidence < kMiddlingSymbol || wordConfidence < kMiddlingWord) {
            ++statistics.middlingCertainty;
        }
    } while (iterator->Next(kSymbol));
    return statistics;
}

std::string FormatStatisticsLine(const PageStatistics& statistics) {
    return std::to_string(statistics.characters) + ", " + std::to_string(statistics.lowCertainty) +
           ", " + std::to_string(statistics.middlingCertainty) + ", " +
           std::to_string(statistics.words) + ", " + std::to_string(statistics.rotation) + "\r\n";
}

}  // namespace orlavex
