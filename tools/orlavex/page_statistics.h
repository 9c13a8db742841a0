#pragma once

#include <string>

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

// Counts the page that the engine has just recognised. The certainty classes are calibrated
// so that (C - 2D - S) / C falls below 95% on pages a proofreader should look at; the rule is
// written down in docs/orlavex.md.
PageStatistics CountRecognisedPage(tesseract::TessBaseAPI& engine);

std::string FormatStatisticsLine(const PageStatistics& statistics);

}  // namespace orlavex
