#pragma once

#include <string>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace orlavex {

// One line of the statistics file: "C, D, S, W, R" and CR LF.
struct PageStatistics {
    int characters = 0;         // C: recognised symbols, white space not counted
    int lowCertainty = 0;       // D: counts twice against the page's confidence
    int middlingCertainty = 0;  // S: counts once
    int words = 0;              // W
    int rotation = 0;           // R: clockwise quarter turns applied, in degrees
};

// A symbol is of low certainty when its own confidence or its word's falls below the low
// thresholds, else of middling certainty when either falls below the middling ones (Tesseract's
// confidences, 0 to 100).
struct CertaintyThresholds {
    float lowSymbol = 0.0F;
    float lowWord = 0.0F;
    float middlingSymbol = 0.0F;
    float middlingWord = 0.0F;
};

// Calibrated so that Quillrun's figure (C - 2D - S) / C ranks pages by their character error
// rate and falls below 95% on pages a proofreader should look at (docs/orlavex.md, measured with
// orlavex_bench --calibrate). The LSTM engine gives nearly every symbol 99 even on a poor page;
// the word's confidence is what falls on a damaged line.
inline constexpr CertaintyThresholds kCalibratedThresholds{60.0F, 55.0F, 85.0F, 85.0F};

// What the engine says of one recognised page, word by word.
struct RecognisedPage {
    struct Word {
        float confidence = 0.0F;
        bool fromDictionary = false;
        bool numeric = false;
        std::vector<float> symbolConfidences;  // one per symbol that is not white space
    };
    std::vector<Word> words;  // words with at least one symbol that is not white space
};

RecognisedPage CollectConfidences(tesseract::TessBaseAPI& engine);

PageStatistics ClassifyPage(const RecognisedPage& page,
                            const CertaintyThresholds& thresholds = kCalibratedThresholds);

std::string FormatStatisticsLine(const PageStatistics& statistics);

}  // namespace orlavex
