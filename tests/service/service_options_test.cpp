// The service's command line.
#include <gtest/gtest.h>

#include "service/service_options.h"

namespace quillrun::service {
namespace {

TEST(ServiceOptions, AcceptsEachOptionInBothFormsAndRefusesTheRestWithAReason) {
    const struct {
        std::vector<std::string> arguments;
        std::optional<unsigned> jobs;
        std::string pageStatistics;
        bool check;
        std::string error;  // empty: accepted
    } cases[] = {
        {{}, std::nullopt, "", false, ""},
        {{"--jobs", "4"}, 4u, "", false, ""},
        {{"--jobs=256", "--check"}, 256u, "", true, ""},
        {{"--page-stats", "p.csv"}, std::nullopt, "p.csv", false, ""},
        {{"--page-stats=/var/q,1.csv", "--jobs=1"}, 1u, "/var/q,1.csv", false, ""},
        {{"--jobs", "0"}, {}, "", false, "--jobs needs a whole number from 1 to 256, not \"0\"."},
        {{"--jobs=257"}, {}, "", false, "--jobs needs a whole number from 1 to 256, not \"257\"."},
        {{"--jobs=two"}, {}, "", false, "--jobs needs a whole number from 1 to 256, not \"two\"."},
        {{"--jobs", "-3"}, {}, "", false, "--jobs needs a whole number from 1 to 256, not \"-3\"."},
        {{"--jobs"}, {}, "", false, "--jobs needs a value."},
        {{"--jobs=2", "--jobs=3"}, {}, "", false, "--jobs is given twice."},
        {{"--page-stats="}, {}, "", false, "--page-stats needs a file name."},
        {{"--jobsx=2"}, {}, "", false, "unknown option --jobsx=2."},
        {{"--verbose"}, {}, "", false, "unknown option --verbose."},
        {{"/srv/scans"}, {}, "", false, "unexpected argument /srv/scans."},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseServiceOptions(c.arguments);
        const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(parsed.error, c.error) << shown;
        if (c.error.empty() && parsed.options) {
            EXPECT_EQ(parsed.options->jobs, c.jobs) << shown;
            EXPECT_EQ(parsed.options->pageStatisticsFile, c.pageStatistics) << shown;
            EXPECT_EQ(parsed.options->check, c.check) << shown;
        }
        EXPECT_EQ(parsed.options.has_value(), c.error.empty()) << shown;
    }
}

TEST(ServiceOptions, TakesAClaimExpiryOfAtLeastTwoRenewals) {
    const std::string refused = "--claim-expiry needs a whole number of seconds from 60 to 86400, ";
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::chrono::seconds> expiry;
        std::string error;
    } cases[] = {
        {{"--claim-expiry", "60"}, std::chrono::seconds(60), ""},
        {{"--claim-expiry=86400"}, std::chrono::hours(24), ""},
        {{"--claim-expiry=59"}, {}, refused + "not \"59\"."},
        {{"--claim-expiry", "2m"}, {}, refused + "not \"2m\"."},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseServiceOptions(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << c.arguments.back();
        EXPECT_EQ(parsed.options ? parsed.options->claimExpiry : std::nullopt, c.expiry)
            << c.arguments.back();
    }
}

TEST(ServiceOptions, TakesAMetricsAddressWithAPort) {
    for (const std::string address : {"0.0.0.0:9090", "[::1]:65535", "127.0.0.1:1"}) {
        const ParsedOptions parsed = ParseServiceOptions({"--metrics=" + address});
        EXPECT_EQ(parsed.options ? parsed.options->metricsAddress : parsed.error, address);
    }
    for (const std::string address : {"9090", ":9090", "0.0.0.0:0", "0.0.0.0:65536", "host:"}) {
        EXPECT_EQ(ParseServiceOptions({"--metrics", address}).error,
                  "--metrics needs an address and a port, such as 0.0.0.0:9090, not \"" + address +
                      "\".");
    }
}

}  // namespace
}  // namespace quillrun::service
