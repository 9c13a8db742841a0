#pragma once

#include <string>
#include <vector>

#include "calibration_set.h"
#include "page_statistics.h"

namespace orlavex::bench {

// Pages with at most this share of their words misread should score 95 or more; pages with at
// least the second share below 95. Between the two, either will do.
inline constexpr double kGoodPageMisread = 0.01;
inline constexpr double kPoorPageMisread = 0.03;

// Quillrun's confidence figure of a statistics line, and its limit for a poorly recognised page.
float ConfidenceOf(const PageStatistics& page);
inline constexpr float kPoorConfidence = 95.0F;

// How a rule's figure agrees with the words misread: counts of pages by class.
struct Agreement {
    double goodPages = 0;  // at most 1 % of words misread
    double goodKept = 0;   // of those, scoring 95 or more
    double middlePages = 0;
    double middleFlagged = 0;
    double poorPages = 0;                   // 3 % or more
    double poorFlagged = 0;                 // of those, scoring below 95
    double rankCorrelation = 0;             // Spearman, confidence against the share of words read
    std::vector<const Reading*> misjudged;  // good pages flagged and poor pages kept
    std::vector<std::pair<const Reading*, float>> scored;  // every page and its figure
};

Agreement JudgeAgreement(const std::vector<Reading>& readings, const CertaintyRule& rule);

// The agreement as a table by class of page and by degradation, with the character error rates.
void PrintAgreementTable(const Agreement& agreement);

// orlavex_bench --calibrate FOLDER: reads the set (or takes the readings saved from the last
// time), tries every rule of the family on the calibration part, and shows the best ones and
// the agreement of the chosen rule on the held-out part.
int Calibrate(const std::string& folder, bool readAgain);

}  // namespace orlavex::bench
