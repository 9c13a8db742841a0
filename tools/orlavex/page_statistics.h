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

// What makes a word doubtful, by Tesseract's confidence in it (0 to 100): below lowWord its
// symbols are of low certainty (D), else below middlingWord of middling certainty (S), or below
// middlingDashedWord for a word that holds a dash. Only the first symbolsPerWord symbols of a
// doubtful word are counted: a misread word is one mistake however long it is, and long words
// that the engine doubts but reads right (option names, identifiers) would otherwise outweigh
// short ones that it gets wrong. The words are those of WordsAsRead: a bullet, a rule or a speck
// read as a sign is no word that anyone reads, yet the engine doubts such marks even on clean
// pages. Words with a dash (option names, compounds,
// ranges: "--line-number", "sub-class-of", "02110-1301") are seldom in the engine's dictionary,
// and it doubts which dash it sees (hyphen, minus, en or em dash) on pages it reads well: such a
// word is of middling certainty only when the engine doubts it more.
struct CertaintyRule {
    float lowWord = 0.0F;
    float middlingWord = 0.0F;
    int symbolsPerWord = 0;
    float middlingDashedWord = 0.0F;
};

// Calibrated on typeset pages (docs/orlavex.md, orlavex_bench --calibrate) so that Quillrun's
// figure (C - 2D - S) / C stays at 95 or more on pages with at most 1 % of their words misread
// and falls below 95 on pages with 3 % or more. The LSTM engine gives nearly every symbol 99, even
// on a poor page; what falls on a damaged or doubtful word is the word's confidence.
inline constexpr CertaintyRule kCalibratedRule{35.0F, 90.0F, 6, 55.0F};

// What the engine says of one recognised page, word by word.
struct RecognisedPage {
    struct Word {
        float confidence = 0.0F;
        int symbols = 0;  // that are not white space
        bool holdsLetterOrDigit = false;
        bool hyphenatedAtLineEnd = false;  // the next word is its other half
        bool holdsDash = false;
    };
    std::vector<Word> words;  // words with at least one symbol that is not white space
};

// The words as a reader reads them, each with its confidence and symbols: the two halves of a
// word hyphenated at a line end are one word, and marks that hold no letter or digit are left
// out. The halves of a broken word are not in the engine's dictionary, so it doubts them even
// when it reads them right; the half it is surer of speaks for the word.
std::vector<RecognisedPage::Word> WordsAsRead(const RecognisedPage& page);

RecognisedPage CollectConfidences(tesseract::TessBaseAPI& engine);

// Whether UTF-8 text holds a letter or a digit of any script; punctuation, symbols, arrows,
// rules, bullets, private use and malformed text do not count.
bool HoldsLetterOrDigit(const char* text);

PageStatistics ClassifyPage(const RecognisedPage& page,
                            const CertaintyRule& rule = kCalibratedRule);

std::string FormatStatisticsLine(const PageStatistics& statistics);

}  // namespace orlavex
