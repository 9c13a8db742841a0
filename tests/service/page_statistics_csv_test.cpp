// The page statistics file of --page-stats: quoting, and appends from several writers.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "service/page_statistics_csv.h"
#include "service/service_log.h"
#include "support/temp_tree.h"

namespace quillrun::service {
namespace {

TEST(PageStatisticsCsv, QuotesOnlyWhatNeedsItAndKeepsPathBytes) {
    const struct {
        std::string text, field;
    } cases[] = {
        {"/srv/out/page.orx", "/srv/out/page.orx"},
        {"/srv/out/a,b.orx", "\"/srv/out/a,b.orx\""},
        {"/srv/out/say \"hi\".orx", "\"/srv/out/say \"\"hi\"\".orx\""},
        {"/srv/out/two\nlines.orx", "\"/srv/out/two\nlines.orx\""},
        {"/srv/out/cr\r.orx", "\"/srv/out/cr\r.orx\""},
        {" leading.orx", "\" leading.orx\""},
        {"/srv/\xff\xfe.orx", "/srv/\xff\xfe.orx"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    }
    PageStats page;
    page.m_page = 2;
    page.m_characters = 1234;
    page.m_confidence = 96.5f;
    EXPECT_EQ(FormatPageStatisticsCsv({"/out/p.orx", {page}}), "/out/p.orx,2,1234,96.50\r\n");
}

TEST(PageStatisticsCsv, WritersOnSeveralThreadsAddWholeDocumentsUnderOneHeader) {
    test::TempTree tree;
    const std::string path = tree.path("pages.csv");
    ServiceLog log(false, "");
    PageStatisticsFile file(path, log);
    ASSERT_EQ(file.Open(), std::nullopt);
    constexpr int kWriters = 4;
    constexpr int kDocuments = 50;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([&file, writer] {
            for (int document = 0; document < kDocuments; ++document) {
                DocumentStatistics pages{
                    "/out/" + std::to_string(writer) + "-" + std::to_string(document) + ".orx", {}};
                for (int page = 1; page <= 3; ++page) {
                    PageStats record;
                    record.m_page = page;
                    pages.pages.push_back(record);
                }
                file.Append(pages);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::string text = test::ReadFile(path);
    ASSERT_TRUE(text.starts_with(kPageStatisticsHeader));
    // Each document's three pages follow each other.
    std::size_t at = kPageStatisticsHeader.size();
    int documents = 0;
    while (at < text.size()) {
        const std::size_t comma = text.find(',', at);
        const std::string name = text.substr(at, comma - at);
        for (int page = 1; page <= 3; ++page) {
            const std::string record = name + "," + std::to_string(page) + ",0,0.00\r\n";
            ASSERT_EQ(text.compare(at, record.size(), record), 0) << text.substr(at, 80);
            at += record.size();
        }
        ++documents;
    }
    EXPECT_EQ(documents, kWriters * kDocuments);
}

}  // namespace
}  // namespace quillrun::service
