// The page images in orlavex's documents are the scans themselves: no pixel lost, a JPEG kept as
// it came, a black-and-white page in G4, and pages of one document in their order however many
// are read at once.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "orlavex/orlavex_runner.h"
#include "orlavex/test_pages.h"
#include "support/temp_tree.h"

namespace orlavex::test {
namespace {

// Blue ink on white: a colour scan.
PixPtr ColourScanOf(const Lines& lines) {
    const PixPtr grey = GreyScanOf(lines);
    PixPtr colour(pixCreate(pixGetWidth(grey.get()), pixGetHeight(grey.get()), 32));
    for (int y = 0; y < pixGetHeight(grey.get()); ++y) {
        for (int x = 0; x < pixGetWidth(grey.get()); ++x) {
            l_uint32 value = 0;
            pixGetPixel(grey.get(), x, y, &value);
            l_uint32 pixel = 0;
            composeRGBPixel(static_cast<l_int32>(value), static_cast<l_int32>(value), 255, &pixel);
            pixSetPixel(colour.get(), x, y, pixel);
        }
    }
    pixSetResolution(colour.get(), 300, 300);
    return colour;
}

// The one image of a one-page document, as pdfimages extracts it: PNG for anything decoded,
// or, with "-j", a JPEG stream exactly as it is stored.
std::string ExtractImage(const std::string& document, const std::string& prefix, bool raw) {
    const RunResult list = RunCommand({"pdfimages", raw ? "-j" : "-png", document, prefix});
    EXPECT_TRUE(list.succeeded()) << list.standardError;
    return prefix + (raw ? "-000.jpg" : "-000.png");
}

struct StoredImageCase {
    const char* id;
    const char* name;
    std::function<PixPtr()> makeScan;
    const char* fileName;  // the kind of file is told by its name
    int quarterTurns;      // the document's image is the scan turned clockwise so often
    const char* encoding;  // as "pdfimages -list" names it
};

void PrintTo(const StoredImageCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

const StoredImageCase kStoredImageCases[] = {
    {"GreyTiff", "grey scan", [] { return GreyScanOf(FoxText()); }, "scan.tif", 0, "image"},
    {"ColourTiff", "colour scan", [] { return ColourScanOf(HarbourText()); }, "scan.tif", 0,
     "image"},
    {"GreyPng", "grey PNG upside down, turned upright",
     [] { return Turned(GreyScanOf(HarbourText()).get(), 2); }, "scan.png", 2, "image"},
    {"BlackAndWhiteTiff", "black-and-white scan", [] { return ScanOf(FoxText()); }, "scan.tif", 0,
     "ccitt"},
    {"ColourJpeg", "colour JPEG", [] { return ColourScanOf(FoxText()); }, "scan.jpg", 0, "jpeg"},
};

class StoredImages : public ::testing::TestWithParam<StoredImageCase> {
  protected:
    quillrun::test::TempTree tree;
};

TEST_P(StoredImages, AreTheScanPixelForPixel) {
    const StoredImageCase& testCase = GetParam();
    const PixPtr scan = testCase.makeScan();
    const std::string input = tree.path(testCase.fileName);
    const bool jpeg = std::string(testCase.encoding) == "jpeg";
    if (std::string(testCase.fileName).ends_with(".tif")) {
        WriteTiff(input, {scan.get()});
    } else {
        ASSERT_EQ(pixWrite(input.c_str(), scan.get(), jpeg ? IFF_JFIF_JPEG : IFF_PNG), 0);
    }
    const std::string document = tree.path("out.orx");
    const RunResult run = RunOrlavex({"-in:" + input, "-out:" + document, "-nomessage"});
    ASSERT_TRUE(run.succeeded()) << run.standardError;

    const RunResult list = RunCommand({"pdfimages", "-list", document});
    EXPECT_NE(list.standardOutput.find(std::string(" ") + testCase.encoding + " "),
              std::string::npos)
        << list.standardOutput;
    const std::string image = ExtractImage(document, tree.path("extracted"), jpeg);
    if (jpeg) {
        EXPECT_EQ(ReadWholeFile(image), ReadWholeFile(input));
        return;
    }
    const PixPtr stored(pixRead(image.c_str()));
    const PixPtr expected(pixRotateOrth(scan.get(), testCase.quarterTurns));
    ASSERT_TRUE(stored);
    l_int32 same = 0;
    ASSERT_EQ(pixEqual(stored.get(), expected.get(), &same), 0);
    EXPECT_EQ(same, 1);
}

INSTANTIATE_TEST_SUITE_P(Orlavex, StoredImages, ::testing::ValuesIn(kStoredImageCases),
                         [](const ::testing::TestParamInfo<StoredImageCase>& info) {
                             return std::string(info.param.id);
                         });

// The first page holds the most text, so that with more than one page at a time the later pages
// are read first; the document and its statistics must not show it. Two at a time, four pages
// also keep a spare engine busy while the first page is still being read.
TEST(OrlavexJobs, PagesKeepTheirOrderWhicheverIsReadFirst) {
    const Lines longText = [] {
        Lines lines;
        for (const Lines* text : {&FoxText(), &HarbourText(), &FoxText(), &HarbourText()}) {
            lines.insert(lines.end(), text->begin(), text->end());
        }
        return lines;
    }();
    const std::vector<const Lines*> texts{&longText, &LedgerText(), &OrchardText(), &FoxText()};
    quillrun::test::TempTree tree;
    std::vector<PixPtr> pages;
    std::vector<Pix*> raw;
    for (const Lines* text : texts) {
        pages.push_back(RenderPdfPage(MakeTextPdf({*text}, 6.0, 1.0 + 0.25 * text->size())));
        raw.push_back(pages.back().get());
    }
    const std::string input = tree.path("scan.tif");
    WriteTiff(input, raw);

    std::vector<std::string> statistics;
    for (const std::string jobs : {"-jobs:1", "-jobs:2", "-jobs:4"}) {
        SCOPED_TRACE(jobs);
        const std::string document = tree.path("out" + jobs + ".orx");
        const RunResult run = RunOrlavex({"-in:" + input, "-out:" + document, jobs,
                                          "-stat:" + tree.path("out.dat"), "-nomessage"});
        ASSERT_TRUE(run.succeeded()) << run.standardError;
        const std::vector<std::string> read = PageTextsOfPdf(document);
        ASSERT_EQ(read.size(), texts.size());
        for (std::size_t page = 0; page < texts.size(); ++page) {
            EXPECT_LT(CharacterErrorRate(JoinLines(*texts[page]), read[page]), 0.02) << read[page];
        }
        statistics.push_back(ReadWholeFile(tree.path("out.dat")));
    }
    EXPECT_EQ(statistics[0], statistics[1]);
    EXPECT_EQ(statistics[0], statistics[2]);
}

}  // namespace
}  // namespace orlavex::test
