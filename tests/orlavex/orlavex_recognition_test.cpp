// orlavex end to end: generated scans in, searchable PDF documents and statistics out.
#include <gtest/gtest.h>
#include <tesseract/baseapi.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <ostream>

#include "orlavex/orlavex_runner.h"
#include "orlavex/test_pages.h"
#include "support/temp_tree.h"

namespace orlavex::test {
namespace {

int NonBlankCharacters(const Lines& lines) {
    int count = 0;
    for (const std::string& line : lines) {
        for (const char c : line) {
            count += c != ' ' ? 1 : 0;
        }
    }
    return count;
}

int Words(const Lines& lines) {
    int count = 0;
    for (const std::string& line : lines) {
        count += static_cast<int>(std::count(line.begin(), line.end(), ' ')) + 1;
    }
    return count;
}

class OrlavexRecognition : public ::testing::Test {
  protected:
    // Converts the file at input into out.orx and out.dat in the tree's own folder.
    RunResult convert(const std::string& input, std::vector<std::string> options = {}) {
        std::vector<std::string> arguments{"-in:" + input, "-out:" + document(), "-nomessage", "-x",
                                           "-stat:" + statistics()};
        arguments.insert(arguments.begin() + 2, options.begin(), options.end());
        return RunOrlavex(arguments);
    }

    std::string writeTiff(const std::vector<Pix*>& pages, const std::string& name = "scan.tif") {
        const std::string path = tree.path(name);
        WriteTiff(path, pages);
        return path;
    }

    std::string document() const { return tree.path("out.orx"); }
    std::string statistics() const { return tree.path("out.dat"); }

    // The page image as the document shows it.
    PixPtr documentImage(int page = 0) const {
        return RenderPdfPage(ReadWholeFile(document()), 300, page);
    }

    quillrun::test::TempTree tree;
};

struct PageCase {
    const char* id;
    const char* name;
    std::function<std::vector<PixPtr>()> makeImages;
    std::vector<std::string> options;
    std::vector<const Lines*> expectedPages;
    double greatestErrorRate;
    std::vector<int> rotations;
};

void PrintTo(const PageCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

std::vector<PixPtr> One(PixPtr page) {
    std::vector<PixPtr> pages;
    pages.push_back(std::move(page));
    return pages;
}

const PageCase kPageCases[] = {
    {"CleanScan",
     "clean black-and-white scan",
     [] { return One(ScanOf(FoxText())); },
     {},
     {&FoxText()},
     0.02,
     {0}},
    {"QuarterTurnedScan",
     "page turned a quarter clockwise, auto-rotated",
     [] { return One(Turned(ScanOf(FoxText()).get(), 1)); },
     {"-autorotate"},
     {&FoxText()},
     0.05,
     {270}},
    {"UpsideDownScan",
     "page turned upside down, auto-rotated",
     [] { return One(Turned(ScanOf(HarbourText()).get(), 2)); },
     {"-autorotate"},
     {&HarbourText()},
     0.05,
     {180}},
    {"SidewaysPoorCopy",
     "poor copy lying on its side, auto-rotated",
     [] { return One(Turned(Degraded(GreyScanOf(HarbourText()).get()).get(), 3)); },
     {"-autorotate"},
     {&HarbourText()},
     0.05,
     {90}},
    {"SkewedScan",
     "page skewed by three degrees, deskewed",
     [] { return One(Skewed(ScanOf(HarbourText()).get(), 3.0F)); },
     {"-deskew"},
     {&HarbourText()},
     0.05,
     {0}},
    {"SpeckledScan",
     "speckled page, despeckled",
     [] { return One(Speckled(ScanOf(HarbourText()).get(), 1500)); },
     {"-despeckle"},
     {&HarbourText()},
     0.05,
     {0}},
    {"TwoPageSpread",
     "two-page spread, split",
     [] { return One(Spread(ScanOf(LedgerText()).get(), ScanOf(OrchardText()).get())); },
     {"-2page"},
     {&LedgerText(), &OrchardText()},
     0.05,
     {0, 0}},
    {"SpreadsTwoAtATime",
     "three two-page spreads, split, two at a time",
     [] {
         std::vector<PixPtr> spreads;
         spreads.push_back(Spread(ScanOf(LedgerText()).get(), ScanOf(OrchardText()).get()));
         spreads.push_back(Spread(ScanOf(FoxText()).get(), ScanOf(HarbourText()).get()));
         spreads.push_back(Spread(ScanOf(OrchardText()).get(), ScanOf(LedgerText()).get()));
         return spreads;
     },
     {"-2page", "-jobs:2"},
     {&LedgerText(), &OrchardText(), &FoxText(), &HarbourText(), &OrchardText(), &LedgerText()},
     0.05,
     {0, 0, 0, 0, 0, 0}},
    {"ThreePageTiff",
     "three-page TIFF",
     [] {
         std::vector<PixPtr> pages;
         pages.push_back(ScanOf(FoxText()));
         pages.push_back(GreyScanOf(HarbourText()));
         pages.push_back(ScanOf(LedgerText()));
         return pages;
     },
     {},
     {&FoxText(), &HarbourText(), &LedgerText()},
     0.02,
     {0, 0, 0}},
    {"SixteenBitGreyScan",
     "16-bit grey scan",
     [] { return One(PixPtr(pixConvert8To16(GreyScanOf(FoxText()).get(), 8))); },
     {},
     {&FoxText()},
     0.02,
     {0}},
    {"FourBitPaletteScan",
     "4-bit palette scan",
     [] { return One(PixPtr(pixThresholdTo4bpp(GreyScanOf(FoxText()).get(), 16, 1))); },
     {},
     {&FoxText()},
     0.02,
     {0}},
};

class ScanKinds : public OrlavexRecognition, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ScanKinds, BecomeSearchableDocumentsWithTheirStatistics) {
    const PageCase& testCase = GetParam();
    SCOPED_TRACE(testCase.name);
    std::vector<PixPtr> images = testCase.makeImages();
    std::vector<Pix*> raw;
    for (const PixPtr& image : images) {
        raw.push_back(image.get());
    }
    const RunResult run = convert(writeTiff(raw), testCase.options);
    ASSERT_TRUE(run.succeeded()) << run.standardError;
    EXPECT_EQ(ReadWholeFile(document()).substr(0, 5), "%PDF-");
    EXPECT_EQ(FolderNames(tree.root()),
              (std::vector<std::string>{"out.dat", "out.orx", "scan.tif"}));

    const std::vector<std::string> texts = PageTextsOfPdf(document());
    const std::vector<StatisticsLine> lines = ReadStatistics(statistics());
    ASSERT_EQ(texts.size(), testCase.expectedPages.size());
    ASSERT_EQ(lines.size(), testCase.expectedPages.size());
    for (std::size_t page = 0; page < lines.size(); ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        const Lines& expected = *testCase.expectedPages[page];
        EXPECT_LT(CharacterErrorRate(JoinLines(expected), texts[page]), testCase.greatestErrorRate)
            << texts[page];
        EXPECT_NEAR(lines[page].characters, NonBlankCharacters(expected),
                    NonBlankCharacters(expected) / 20);
        EXPECT_NEAR(lines[page].words, Words(expected), 2);
        EXPECT_EQ(lines[page].rotation, testCase.rotations[page]);
    }
}

INSTANTIATE_TEST_SUITE_P(Orlavex, ScanKinds, ::testing::ValuesIn(kPageCases),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                             return std::string(info.param.id);
                         });

TEST_F(OrlavexRecognition, PdfPagesAreRenderedAndRecognisedInOrder) {
    const std::string input = tree.path("letters.pdf");
    WriteWholeFile(input, MakeTextPdf({HarbourText(), FoxText()}));
    const RunResult run = convert(input);
    ASSERT_TRUE(run.succeeded()) << run.standardError;
    const std::vector<std::string> texts = PageTextsOfPdf(document());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_LT(CharacterErrorRate(JoinLines(HarbourText()), texts[0]), 0.02) << texts[0];
    EXPECT_LT(CharacterErrorRate(JoinLines(FoxText()), texts[1]), 0.02) << texts[1];
    EXPECT_EQ(ReadStatistics(statistics()).size(), 2u);
    // The page keeps its size: 6 by 2.2 inches.
    const PixPtr image = documentImage();
    EXPECT_NEAR(pixGetWidth(image.get()), 1800, 2);
    EXPECT_NEAR(pixGetHeight(image.get()), 660, 2);
}

struct OptionCase {
    const char* id;
    const char* name;
    std::function<PixPtr()> makeImage;
    const char* on;
    const char* off;
    std::function<double(Pix*)> measure;
    double greatestWhenOn;
    double leastWhenOff;
};

const OptionCase kOptionCases[] = {
    {"Rotation", "the page comes out upright only when auto-rotated",
     [] { return Turned(ScanOf(FoxText()).get(), 1); }, "-autorotate", "-rotate0",
     [](Pix* page) { return static_cast<double>(pixGetHeight(page)) / pixGetWidth(page); }, 1.0,
     1.0},
    {"Deskew", "the lines come out level only when deskewed",
     [] { return Skewed(ScanOf(HarbourText()).get(), 3.0F); }, "-deskew", "-nodeskew",
     [](Pix* page) { return std::fabs(MeasureSkew(page)); }, 0.5, 2.5},
    {"Despeckle", "the specks are gone only when despeckled",
     [] { return Speckled(ScanOf(HarbourText()).get(), 1500); }, "-despeckle", "-nodespeckle",
     [](Pix* page) { return CountSpecks(page); }, 100, 1000},
};

void PrintTo(const OptionCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class CleanUpOptions : public OrlavexRecognition,
                       public ::testing::WithParamInterface<OptionCase> {};

TEST_P(CleanUpOptions, ChangeTheDocumentWhileTheirOppositesLeaveThePageAlone) {
    const OptionCase& testCase = GetParam();
    SCOPED_TRACE(testCase.name);
    const PixPtr image = testCase.makeImage();
    const std::string input = writeTiff({image.get()});
    ASSERT_TRUE(convert(input, {testCase.on}).succeeded());
    EXPECT_LT(testCase.measure(documentImage().get()), testCase.greatestWhenOn);
    ASSERT_TRUE(convert(input, {testCase.off}).succeeded());
    EXPECT_GT(testCase.measure(documentImage().get()), testCase.leastWhenOff);
    // A page left as it came reports no rotation, however it lies.
    EXPECT_EQ(ReadStatistics(statistics()).at(0).rotation, 0);
}

INSTANTIATE_TEST_SUITE_P(Orlavex, CleanUpOptions, ::testing::ValuesIn(kOptionCases),
                         [](const ::testing::TestParamInfo<OptionCase>& info) {
                             return std::string(info.param.id);
                         });

TEST_F(OrlavexRecognition, SpreadIsOnePageUnlessTwoPageModeIsOn) {
    const PixPtr spread = Spread(ScanOf(LedgerText()).get(), ScanOf(OrchardText()).get());
    const RunResult run = convert(writeTiff({spread.get()}));
    ASSERT_TRUE(run.succeeded()) << run.standardError;
    EXPECT_EQ(ReadStatistics(statistics()).size(), 1u);
    EXPECT_EQ(PageTextsOfPdf(document()).size(), 1u);
}

// One engine alone loads the orientation model when a page first needs it, engines side by side
// load it at the start; either way a missing model leaves the pages as they lie, with a warning.
TEST_F(OrlavexRecognition, WithoutTheOrientationModelPagesAreReadAsTheyLie) {
    std::filesystem::path installed;
    {
        tesseract::TessBaseAPI probe;
        ASSERT_EQ(probe.Init(nullptr, "eng"), 0);
        installed = probe.GetDatapath();
    }
    const std::filesystem::path languagesOnly = tree.path("tessdata");
    std::filesystem::create_directory(languagesOnly);
    for (const char* name : {"eng.traineddata", "pdf.ttf"}) {
        std::filesystem::create_symlink(installed / name, languagesOnly / name);
    }
    const PixPtr sideways = Turned(ScanOf(FoxText()).get(), 1);
    const PixPtr upright = ScanOf(HarbourText());
    for (const std::vector<Pix*>& pages :
         {std::vector<Pix*>{sideways.get()},
          std::vector<Pix*>{sideways.get(), upright.get(), upright.get()}}) {
        SCOPED_TRACE(std::to_string(pages.size()) + " pages");
        const RunResult run = RunOrlavex({"-in:" + writeTiff(pages), "-out:" + document(),
                                          "-stat:" + statistics(), "-jobs:2", "-x"},
                                         -1, {"TESSDATA_PREFIX=" + languagesOnly.string()});
        ASSERT_TRUE(run.succeeded()) << run.standardError;
        EXPECT_NE(run.standardError.find("the orientation model is not installed"),
                  std::string::npos)
            << run.standardError;
        const std::vector<StatisticsLine> lines = ReadStatistics(statistics());
        ASSERT_EQ(lines.size(), pages.size());
        EXPECT_EQ(lines[0].rotation, 0);
    }
}

TEST_F(OrlavexRecognition, DegradedPageScoresBelowTheFlagWhileTheCleanPageScoresAboveIt) {
    const PixPtr clean = ScanOf(FoxText());
    ASSERT_TRUE(convert(writeTiff({clean.get()})).succeeded());
    const StatisticsLine cleanPage = ReadStatistics(statistics()).at(0);

    const PixPtr degraded = Degraded(GreyScanOf(FoxText()).get());
    ASSERT_TRUE(convert(writeTiff({degraded.get()})).succeeded());
    const StatisticsLine degradedPage = ReadStatistics(statistics()).at(0);

    EXPECT_GE(cleanPage.confidence(), 95.0F);
    EXPECT_LT(degradedPage.confidence(), 95.0F);
    EXPECT_LT(degradedPage.confidence(), cleanPage.confidence());
    EXPECT_GT(degradedPage.characters, 0);
}

}  // namespace
}  // namespace orlavex::test
