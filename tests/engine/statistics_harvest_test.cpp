#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using StatisticsHarvest = EngineTest;

struct Page {
    std::int32_t page, characters, doubleWeight, singleWeight, value4, value5;
    float confidence;
};

std::vector<Page> Pages(const QuillrunEngine& engine) {
    std::vector<Page> pages;
    for (const PageStats& s : engine.pageStats()) {
        pages.push_back({s.m_page, s.m_characters, s.m_doubleWeightCount, s.m_singleWeightCount,
                         s.m_value4, s.m_value5, s.m_confidence});
    }
    return pages;
}

std::string FileNameOf(const QuillrunEngine& engine, std::size_t record) {
    return engine.pageStats().fileName(engine.pageStats()[record]);
}

bool operator==(const Page& a, const Page& b) {
    return a.page == b.page && a.characters == b.characters && a.doubleWeight == b.doubleWeight &&
           a.singleWeight == b.singleWeight && a.value4 == b.value4 && a.value5 == b.value5 &&
           a.confidence == b.confidence;
}

TEST_F(StatisticsHarvest, ThreePagesAreRecordedSummarisedAndTheFileRemoved) {
    const std::string document = tree.writeFile("out/scan7.orx", "doc");
    const std::string statistics = tree.writeFile(
        "out/scan7.dat", "600, 6, 9, 0, 0\r\n800, 20, 10, 0, 0\r\n0, 0, 0, 0, 0\r\n");
    engine.HarvestStatistics(document, statistics);
    EXPECT_EQ(Pages(engine), (std::vector<Page>{{1, 600, 6, 9, 0, 0, 96.5f},
                                                {2, 800, 20, 10, 0, 0, 93.75f},
                                                {3, 0, 0, 0, 0, 0, 0.0f}}));
    EXPECT_EQ(FileNameOf(engine, 0), document);
    EXPECT_EQ(FileNameOf(engine, 2), document);
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{document + " has been created.", "It contains 3 pages.",
                                        "2 pages may have been poorly recognized."}));
    EXPECT_FALSE(Exists(statistics));
    EXPECT_EQ(host.statisticsEnabled, 1);
}

TEST_F(StatisticsHarvest, MissingOrEmptyFileGivesOnlyTheCreatedLine) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    engine.HarvestStatistics(document, tree.path("out/a.dat"));
    const std::string empty = tree.writeFile("out/b.dat", "");
    engine.HarvestStatistics(document, empty);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{document + " has been created.",
                                                       document + " has been created."}));
    EXPECT_FALSE(Exists(empty));
    EXPECT_TRUE(engine.pageStats().empty());
    EXPECT_EQ(host.statisticsEnabled, 0);
}

TEST_F(StatisticsHarvest, OnePageSummaryUsesTheSingular) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    engine.HarvestStatistics(document, tree.writeFile("out/a.dat", "100, 2, 1, 0, 0"));
    engine.HarvestStatistics(document, tree.writeFile("out/a.dat", "100, 2, 2, 0, 0\n"));
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{document + " has been created.", "It contains 1 page.",
                                        document + " has been created.", "It contains 1 page.",
                                        "1 page may have been poorly recognized."}));
    EXPECT_EQ(engine.pageStats().size(), 2u);
    EXPECT_EQ(engine.pageStats()[1].m_page, 1);  // numbering starts again for every document
}

TEST_F(StatisticsHarvest, LinesThatSupplyTooLittleRepeatThePreviousValues) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    engine.HarvestStatistics(document, tree.writeFile("out/a.dat",
                                                      "500, 5, 5\n"          // first line: rest 0
                                                      "700, 1, 2, 3, 4\r\n"  //
                                                      "\r\n"                 // empty line: a page
                                                      "600 ,9,9,9,9\n"       // stops after 600
                                                      "\n"));                // extra line end
    EXPECT_EQ(Pages(engine), (std::vector<Page>{{1, 500, 5, 5, 0, 0, 97.0f},
                                                {2, 700, 1, 2, 3, 4, 99.42857f},
                                                {3, 700, 1, 2, 3, 4, 99.42857f},
                                                {4, 600, 1, 2, 3, 4, 99.333336f},
                                                {5, 600, 1, 2, 3, 4, 99.333336f}}));
}

TEST_F(StatisticsHarvest, SameDocumentTwiceAddsASecondSetOfRecords) {
    tree.writeFile("in/p.tif");
    useTemplate("\"--stats=100, 0, 0, 0, 0|90, 0, 0, 0, 0\"");
    engine.StartWork();
    engine.OnTimer(1);
    RemovePath(destination + NativePath("/p.orx"));
    engine.OnTimer(1);
    ASSERT_EQ(engine.pageStats().size(), 4u);
    EXPECT_EQ(FileNameOf(engine, 2), FileNameOf(engine, 0));
    // Nothing is merged: the document's second conversion is a document of its own.
    EXPECT_EQ(engine.pageStats().documentCount(), 2u);
    EXPECT_EQ(engine.pageStats()[1].m_document, engine.pageStats()[0].m_document);
    EXPECT_NE(engine.pageStats()[2].m_document, engine.pageStats()[1].m_document);
    EXPECT_EQ(engine.pageStats()[3].m_page, 2);
    EXPECT_EQ(host.statisticsEnabled, 2);
}

}  // namespace
}  // namespace quillrun::test
