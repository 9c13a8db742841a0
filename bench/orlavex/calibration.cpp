#include "calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

namespace orlavex::bench {

namespace {

std::vector<double> Ranks(const std::vector<double>& values) {
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    std::vector<double> ranks(values.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && values[order[j + 1]] == values[order[i]]) {
            ++j;
        }
        for (std::size_t k = i; k <= j; ++k) {
            ranks[order[k]] = (static_cast<double>(i + j) / 2.0) + 1.0;  // ties share their mean
        }
        i = j + 1;
    }
    return ranks;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    double meanA = 0.0;
    double meanB = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        meanA += a[i] / n;
        meanB += b[i] / n;
    }
    double covariance = 0.0;
    double varianceA = 0.0;
    double varianceB = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        covariance += (a[i] - meanA) * (b[i] - meanB);
        varianceA += (a[i] - meanA) * (a[i] - meanA);
        varianceB += (b[i] - meanB) * (b[i] - meanB);
    }
    return varianceA * varianceB > 0 ? covariance / std::sqrt(varianceA * varianceB) : 0.0;
}

double Percent(double part, double whole) {
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

}  // namespace

float ConfidenceOf(const PageStatistics& page) {
    const int net = page.characters - 2 * page.lowCertainty - page.middlingCertainty;
    return page.characters == 0 || net <= 0
               ? 0.0F
               : static_cast<float>(net) * 100.0F / static_cast<float>(page.characters);
}

Agreement JudgeAgreement(const std::vector<Reading>& readings, const CertaintyRule& rule) {
    Agreement agreement;
    std::vector<double> confidences;
    std::vector<double> wordsRead;
    for (const Reading& reading : readings) {
        const float confidence = ConfidenceOf(ClassifyPage(reading.recognised, rule));
        const bool flagged = confidence < kPoorConfidence;
        const double misread = reading.words.missedShare();
        agreement.scored.emplace_back(&reading, confidence);
        confidences.push_back(confidence);
        wordsRead.push_back(1.0 - misread);
        if (misread <= kGoodPageMisread) {
            ++agreement.goodPages;
            agreement.goodKept += flagged ? 0 : 1;
            if (flagged) {
                agreement.misjudged.push_back(&reading);
            }
        } else if (misread >= kPoorPageMisread) {
            ++agreement.poorPages;
            agreement.poorFlagged += flagged ? 1 : 0;
            if (!flagged) {
                agreement.misjudged.push_back(&reading);
            }
        } else {
            ++agreement.middlePages;
            agreement.middleFlagged += flagged ? 1 : 0;
        }
    }
    agreement.rankCorrelation = Correlation(Ranks(confidences), Ranks(wordsRead));
    return agreement;
}

void PrintAgreementTable(const Agreement& agreement) {
    std::printf("%-22s %6s %12s %11s %14s %14s %14s\n", "words misread", "pages", "score >= 95",
                "score < 95", "median figure", "median CER", "CER any order");
    const auto row = [&](const char* name, auto belongs) {
        std::vector<double> errors;
        std::vector<double> anyOrder;
        std::vector<double> figures;
        int kept = 0;
        for (const auto& [reading, confidence] : agreement.scored) {
            if (belongs(reading->words.missedShare())) {
                errors.push_back(reading->characterErrorRate);
                anyOrder.push_back(reading->characterErrorRateInAnyOrder);
                figures.push_back(confidence);
                kept += confidence >= kPoorConfidence ? 1 : 0;
            }
        }
        const auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values.empty() ? 0.0 : values[values.size() / 2];
        };
        const auto count = static_cast<int>(errors.size());
        std::printf("%-22s %6d %12d %11d %14.1f %13.2f%% %13.2f%%\n", name, count, kept,
                    count - kept, median(figures), 100.0 * median(errors),
                    100.0 * median(anyOrder));
    };
    row("at most 1 %", [](double m) { return m <= kGoodPageMisread; });
    row("over 1 %, under 3 %",
        [](double m) { return m > kGoodPageMisread && m < kPoorPageMisread; });
    row("3 % or more", [](double m) { return m >= kPoorPageMisread; });
    std::printf("good pages kept %.1f%%, poor pages flagged %.1f%%, rank correlation %.3f\n",
                Percent(agreement.goodKept, agreement.goodPages),
                Percent(agreement.poorFlagged, agreement.poorPages), agreement.rankCorrelation);

    std::map<std::string, std::vector<std::pair<double, float>>> byDegradation;
    for (const auto& [reading, confidence] : agreement.scored) {
        byDegradation[reading->degradation].emplace_back(reading->words.missedShare(), confidence);
    }
    std::printf("\n%-28s %6s %14s %14s %8s\n", "degradation", "pages", "mean misread",
                "median figure", "flagged");
    for (auto& [name, pages] : byDegradation) {
        double misread = 0.0;
        std::vector<float> figures;
        int flagged = 0;
        for (const auto& [share, confidence] : pages) {
            misread += share / static_cast<double>(pages.size());
            figures.push_back(confidence);
            flagged += confidence < kPoorConfidence ? 1 : 0;
        }
        std::sort(figures.begin(), figures.end());
        std::printf("%-28s %6zu %13.2f%% %14.1f %8d\n", name.c_str(), pages.size(), 100.0 * misread,
                    static_cast<double>(figures[figures.size() / 2]), flagged);
    }
    if (!agreement.misjudged.empty()) {
        std::printf("\nmisjudged pages:\n");
        for (const auto& [reading, confidence] : agreement.scored) {
            if (std::find(agreement.misjudged.begin(), agreement.misjudged.end(), reading) !=
                agreement.misjudged.end()) {
                std::printf(
                    "  %s-%d at %d dpi, %s: %.2f%% misread, CER %.2f%% (%.2f%% in any "
                    "order), figure %.1f\n",
                    reading->document.c_str(), reading->page, reading->resolution,
                    reading->degradation.c_str(), 100.0 * reading->words.missedShare(),
                    100.0 * reading->characterErrorRate,
                    100.0 * reading->characterErrorRateInAnyOrder, static_cast<double>(confidence));
            }
        }
    }
}

namespace {

// For each cap on the symbols counted per word, how many symbols the page's words below each
// whole-number confidence count, words with a dash apart: every rule of the family is then judged
// on a page with a few look-ups instead of a pass over its words.
class ConfidenceTable {
  public:
    ConfidenceTable(const RecognisedPage& page, const std::vector<int>& caps) : m_caps(caps) {
        for (const RecognisedPage::Word& word : page.words) {
            m_characters += word.symbols;
        }
        const std::vector<RecognisedPage::Word> words = WordsAsRead(page);
        for (const int cap : caps) {
            Counts below{std::vector<int>(kSize + 1, 0), std::vector<int>(kSize + 1, 0)};
            for (const RecognisedPage::Word& word : words) {
                (word.holdsDash ? below.dashed : below.plain)[Bucket(word.confidence) + 1] +=
                    std::min(word.symbols, cap);
            }
            for (int i = 1; i <= kSize; ++i) {
                below.plain[i] += below.plain[i - 1];
                below.dashed[i] += below.dashed[i - 1];
            }
            m_below.push_back(std::move(below));
        }
    }

    // The same figure as ClassifyPage gives, for whole-number thresholds and a cap from caps.
    float confidence(const CertaintyRule& rule) const {
        const auto cap = std::find(m_caps.begin(), m_caps.end(), rule.symbolsPerWord);
        const Counts& below = m_below[static_cast<std::size_t>(cap - m_caps.begin())];
        const int low = Threshold(rule.lowWord);
        PageStatistics page;
        page.characters = m_characters;
        page.lowCertainty = below.plain[low] + below.dashed[low];
        page.middlingCertainty =
            below.plain[std::max(Threshold(rule.middlingWord), low)] - below.plain[low] +
            below.dashed[std::max(Threshold(rule.middlingDashedWord), low)] - below.dashed[low];
        return ConfidenceOf(page);
    }

  private:
    static constexpr int kSize = 101;
    // A confidence c is below a whole-number threshold t exactly when floor(c) < t.
    static int Bucket(float confidence) {
        return std::clamp(static_cast<int>(std::floor(confidence)), 0, kSize - 1);
    }
    static int Threshold(float threshold) {
        return std::clamp(static_cast<int>(threshold), 0, kSize);
    }

    struct Counts {
        std::vector<int> plain;   // symbols counted of words without a dash below [t]
        std::vector<int> dashed;  // and of words with one
    };
    std::vector<int> m_caps;
    std::vector<Counts> m_below;  // per cap
    int m_characters = 0;
};

struct Candidate {
    CertaintyRule rule;
    int goodFlagged = 0;
    int poorKept = 0;
    double rankCorrelation = 0.0;
    int misjudged() const { return goodFlagged + poorKept; }
};

Candidate Judge(const std::vector<Reading>& readings, const std::vector<ConfidenceTable>& tables,
                const CertaintyRule& rule) {
    Candidate candidate{rule};
    std::vector<double> confidences;
    std::vector<double> wordsRead;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const float confidence = tables[i].confidence(rule);
        const double misread = readings[i].words.missedShare();
        candidate.goodFlagged += misread <= kGoodPageMisread && confidence < kPoorConfidence;
        candidate.poorKept += misread >= kPoorPageMisread && confidence >= kPoorConfidence;
        confidences.push_back(confidence);
        wordsRead.push_back(1.0 - misread);
    }
    candidate.rankCorrelation = Correlation(Ranks(confidences), Ranks(wordsRead));
    return candidate;
}

void PrintCandidate(const Candidate& c) {
    std::printf(
        "  low: word < %2.0f; middling: word < %2.0f, with a dash < %2.0f; at most %3d symbols"
        " a word   good pages flagged %2d, poor pages kept %2d, rank correlation %.3f\n",
        static_cast<double>(c.rule.lowWord), static_cast<double>(c.rule.middlingWord),
        static_cast<double>(c.rule.middlingDashedWord), c.rule.symbolsPerWord, c.goodFlagged,
        c.poorKept, c.rankCorrelation);
}

void SortBestFirst(std::vector<Candidate>& candidates) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         if (a.misjudged() != b.misjudged()) {
                             return a.misjudged() < b.misjudged();
                         }
                         return a.rankCorrelation > b.rankCorrelation;
                     });
}

// The rules of the family on a grid, best first: fewest pages misjudged (good pages flagged and
// poor pages kept alike), then the closest ranking of pages by confidence and by words read.
// Symbol confidences are left out: the LSTM engine gives 99 to nearly every symbol, misread or
// not, and no threshold on them changed a single page's verdict.
//
// The search goes in two steps. The first treats words with a dash like any other; the second
// keeps the best of those rules and tries only the threshold for words with a dash. Searching all
// four together fits the calibration documents' few option lists too closely: its best rules count
// eight symbols a word and flag more good pages of other documents.
struct Search {
    std::vector<Candidate> withoutDashes;
    std::vector<Candidate> dashed;  // the first step's best rule, dash threshold varied
};

Search SearchRules(const std::vector<Reading>& readings) {
    const std::vector<int> caps{1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 15, 1000};
    std::vector<ConfidenceTable> tables;
    for (const Reading& reading : readings) {
        tables.emplace_back(reading.recognised, caps);
    }
    Search search;
    for (float lowWord = 0.0F; lowWord <= 70.0F; lowWord += 5.0F) {
        for (float middlingWord = lowWord; middlingWord <= 95.0F; middlingWord += 5.0F) {
            for (const int cap : caps) {
                search.withoutDashes.push_back(
                    Judge(readings, tables, {lowWord, middlingWord, cap, middlingWord}));
            }
        }
    }
    SortBestFirst(search.withoutDashes);
    CertaintyRule rule = search.withoutDashes.front().rule;
    for (rule.middlingDashedWord = rule.lowWord; rule.middlingDashedWord <= rule.middlingWord;
         rule.middlingDashedWord += 5.0F) {
        search.dashed.push_back(Judge(readings, tables, rule));
    }
    SortBestFirst(search.dashed);
    return search;
}

}  // namespace

int Calibrate(const std::string& folder, bool readAgain) {
    // Every reading is saved as it comes: a calibration that was interrupted goes on where it
    // stopped.
    const std::string saved = folder + "/readings.tsv";
    if (readAgain) {
        std::filesystem::remove(saved);
    }
    std::vector<Reading> readings;
    LoadReadings(saved, folder, readings);
    std::set<std::string> done;
    for (const Reading& reading : readings) {
        done.insert(reading.key());
    }
    std::string error;
    const int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    if (!ReadCalibrationSet(
            folder, "", threads, done,
            [&](Reading reading) {
                AppendReading(saved, reading);
                readings.push_back(std::move(reading));
            },
            error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<Reading> calibration;
    std::vector<Reading> heldOut;
    for (Reading& reading : readings) {
        (reading.part == "held-out" ? heldOut : calibration).push_back(std::move(reading));
    }
    std::printf("calibration part: %zu readings; held-out part: %zu\n\n", calibration.size(),
                heldOut.size());
    const Search search = SearchRules(calibration);
    std::printf("the best of %zu rules on the calibration part, words with a dash alike:\n",
                search.withoutDashes.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(12, search.withoutDashes.size()); ++i) {
        PrintCandidate(search.withoutDashes[i]);
    }
    std::printf("\nthe best of these with its own threshold for words with a dash:\n");
    for (const Candidate& candidate : search.dashed) {
        PrintCandidate(candidate);
    }
    std::printf("\n");
    std::printf("the rule on the calibration part:\n");
    PrintAgreementTable(JudgeAgreement(calibration, kCalibratedRule));
    std::printf("\nthe rule on the held-out part:\n");
    PrintAgreementTable(JudgeAgreement(heldOut, kCalibratedRule));
    return 0;
}

}  // namespace orlavex::bench
