#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "orlavex/text_comparison.h"
#include "page_statistics.h"

namespace orlavex::bench {

// One page of the calibration set, in one degradation and resolution, as orlavex read it.
struct Reading {
    std::string document;
    int page = 0;
    std::string part;  // "calibration" or "held-out"
    int resolution = 0;
    std::string degradation;
    test::WordComparison words;
    double characterErrorRate = 0.0;  // in the reading order of each text
    double characterErrorRateInAnyOrder = 0.0;
    int quarterTurns = 0;
    std::string text;  // as recognised
    RecognisedPage recognised;

    // Names the page, resolution and degradation.
    std::string key() const;
};

// Reads the pages that bench/orlavex/make_calibration_set chose, at 200 and 300 dpi and in
// their degradations, with orlavex's own steps (despeckle, deskew, auto-rotate) on this many
// threads. Only the pages of part, unless it is empty, and none whose key is in done. Each
// reading is handed to store as it comes, from whichever thread made it, one at a time. False
// with error set when the set is unusable.
bool ReadCalibrationSet(const std::string& folder, const std::string& part, int threads,
                        const std::set<std::string>& done,
                        const std::function<void(Reading)>& store, std::string& error);

// Readings as lines of text, so that rules can be tried again, and an interrupted calibration
// taken up again, without recognising anew.
// The comparisons with the page's text are made again on loading, from the set in folder.
bool AppendReading(const std::string& path, const Reading& reading);
bool LoadReadings(const std::string& path, const std::string& folder,
                  std::vector<Reading>& readings);

}  // namespace orlavex::bench
