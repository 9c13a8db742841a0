// What counts against a page's confidence, word by word.
#include "page_statistics.h"

#include <gtest/gtest.h>
#include <tesseract/baseapi.h>

#include <string>
#include <vector>

#include "orlavex/test_pages.h"

namespace orlavex {
namespace {

TEST(PageStatistics, OnlyTextWithALetterOrDigitOfAnyScriptHoldsOne) {
    struct Case {
        const char* what;
        std::string text;
        bool holds;
    };
    const std::vector<Case> cases{
        {"digit among signs", "(5)", true}, {"Latin e acute", "\xC3\xA9", true},
        {"Cyrillic", "\xD0\x96", true},     {"CJK", "\xE6\x97\xA5", true},
        {"em dash", "\xE2\x80\x94", false}, {"bullet", "\xE2\x80\xA2", false},
        {"cent sign", "\xC2\xA2", false},   {"ideographic full stop", "\xE3\x80\x82", false},
        {"malformed", "a\xFF", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsLetterOrDigit(c.text.c_str()), c.holds) << c.what;
    }
}

TEST(PageStatistics, DoubtfulWordsCountAsAReaderReadsThem) {
    // Against the calibrated rule: below 35 low, below 90 middling (55 for a word with a dash),
    // six symbols a word at most.
    using Word = RecognisedPage::Word;
    struct Case {
        const char* what;
        std::vector<Word> words;
        int low;
        int middling;
    };
    const std::vector<Case> cases{
        {"sure", {{96.0F, 5, true}}, 0, 0},
        {"middling ends at 90", {{90.0F, 5, true}, {89.9F, 5, true}}, 0, 5},
        {"low ends at 35", {{35.0F, 9, true}, {34.9F, 4, true}}, 4, 6},
        {"a long doubtful word counts six", {{10.0F, 20, true}}, 6, 0},
        {"marks never count", {{10.0F, 3, false}, {60.0F, 1, false}}, 0, 0},
        {"halves of a hyphenated word are one, as sure as the surer half",
         {{80.0F, 4, true, true}, {20.0F, 5, true}},
         0,
         6},
        {"a hyphen before a mark joins nothing", {{80.0F, 4, true, true}, {20.0F, 1, false}}, 0, 4},
        {"a hyphen at the end of the page", {{20.0F, 4, true, true}}, 4, 0},
        {"a word with a dash is middling below 55",
         {{55.0F, 9, true, false, true},
          {54.9F, 4, true, false, true},
          {30.0F, 3, true, false, true}},
         3,
         4},
        {"a dash in either half makes the whole a word with a dash",
         {{80.0F, 4, true, true}, {70.0F, 5, true, false, true}},
         0,
         0},
    };
    for (const Case& c : cases) {
        const PageStatistics statistics = ClassifyPage({c.words});
        int symbols = 0;
        for (const Word& word : c.words) {
            symbols += word.symbols;
        }
        EXPECT_EQ(statistics.characters, symbols) << c.what;
        EXPECT_EQ(statistics.words, static_cast<int>(c.words.size())) << c.what;
        EXPECT_EQ(statistics.lowCertainty, c.low) << c.what;
        EXPECT_EQ(statistics.middlingCertainty, c.middling) << c.what;
    }
}

TEST(PageStatistics, TheEngineReportsDashesAndAWordHyphenatedAtTheLineEnd) {
    const test::PixPtr scan = test::ScanOf(
        {"The harbour master walks the long-haul pier and re-", "turns before the boats."});
    tesseract::TessBaseAPI engine;
    ASSERT_EQ(engine.Init(nullptr, "eng", tesseract::OEM_DEFAULT), 0);
    engine.SetImage(scan.get());
    ASSERT_EQ(engine.Recognize(nullptr), 0);
    const RecognisedPage page = CollectConfidences(engine);
    engine.End();

    ASSERT_EQ(page.words.size(), 13U);
    for (std::size_t i = 0; i < page.words.size(); ++i) {
        EXPECT_TRUE(page.words[i].holdsLetterOrDigit) << i;
        EXPECT_EQ(page.words[i].holdsDash, i == 5) << i;            // "long-haul"
        EXPECT_EQ(page.words[i].hyphenatedAtLineEnd, i == 8) << i;  // "re-"
    }
}

}  // namespace
}  // namespace orlavex
