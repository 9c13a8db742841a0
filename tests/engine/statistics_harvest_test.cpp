#include "engine/statistics_harvest.h"
#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using StatisticsHarvest = EngineTest;

struct Page {
    std::int32_t page, characters, doubleWeight, singleWeight, value4, value5;
    float confidence;
};

std::vector<Page> Pages(const DocumentStatistics& statistics) {
    std::vector<Page> pages;
    for (const PageStats& s : statistics.pages) {
        pages.push_back({s.m_page, s.m_characters, s.m_doubleWeightCount, s.m_singleWeightCount,
                         s.m_value4, s.m_value5, s.m_confidence});
    }
    return pages;
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
    const DocumentStatistics harvested = HarvestStatistics(document, statistics, observer);
    EXPECT_EQ(Pages(harvested), (std::vector<Page>{{1, 600, 6, 9, 0, 0, 96.5f},
                                                   {2, 800, 20, 10, 0, 0, 93.75f},
                                                   {3, 0, 0, 0, 0, 0, 0.0f}}));
    EXPECT_EQ(harvested.document, document);
    EXPECT_EQ(observer.messages,
              (std::vector<std::string>{document + " has been created.", "It contains 3 pages.",
                                        "2 pages may have been poorly recognized."}));
    EXPECT_FALSE(Exists(statistics));
}

TEST_F(StatisticsHarvest, MissingOrEmptyFileGivesOnlyTheCreatedLine) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    EXPECT_TRUE(HarvestStatistics(document, tree.path("out/a.dat"), observer).pages.empty());
    const std::string empty = tree.writeFile("out/b.dat", "");
    EXPECT_TRUE(HarvestStatistics(document, empty, observer).pages.empty());
    EXPECT_EQ(observer.messages, (std::vector<std::string>{document + " has been created.",
                                                           document + " has been created."}));
    EXPECT_FALSE(Exists(empty));
}

TEST_F(StatisticsHarvest, OnePageSummaryUsesTheSingular) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    HarvestStatistics(document, tree.writeFile("out/a.dat", "100, 2, 1, 0, 0"), observer);
    HarvestStatistics(document, tree.writeFile("out/a.dat", "100, 2, 2, 0, 0\n"), observer);
    EXPECT_EQ(observer.messages,
              (std::vector<std::string>{document + " has been created.", "It contains 1 page.",
                                        document + " has been created.", "It contains 1 page.",
                                        "1 page may have been poorly recognized."}));
}

TEST_F(StatisticsHarvest, LinesThatSupplyTooLittleRepeatThePreviousValues) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    const DocumentStatistics harvested =
        HarvestStatistics(document,
                          tree.writeFile("out/a.dat",
                                         "500, 5, 5\n"          // first line: rest 0
                                         "700, 1, 2, 3, 4\r\n"  //
                                         "\r\n"                 // empty line: a page
                                         "600 ,9,9,9,9\n"       // stops after 600
                                         "\n"),
                          observer);  // extra line end
    EXPECT_EQ(Pages(harvested), (std::vector<Page>{{1, 500, 5, 5, 0, 0, 97.0f},
                                                   {2, 700, 1, 2, 3, 4, 99.42857f},
                                                   {3, 700, 1, 2, 3, 4, 99.42857f},
                                                   {4, 600, 1, 2, 3, 4, 99.333336f},
                                                   {5, 600, 1, 2, 3, 4, 99.333336f}}));
}

}  // namespace
}  // namespace quillrun::test
