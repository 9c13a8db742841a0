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

// A claim expiry of at least two renewals, and a metrics address with a port.
TEST(ServiceOptions, TakesAClaimExpiryAndAMetricsAddressWithinTheirBounds) {
    const std::string expiry = "--claim-expiry needs a whole number of seconds from 60 to 86400, ";
    const std::string address = "--metrics needs an address and a port, such as 0.0.0.0:9090, ";
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::chrono::seconds> expiry;
        std::string metrics, error;
    } cases[] = {
        {{"--claim-expiry", "60", "--metrics=0.0.0.0:9090"},
         std::chrono::seconds(60),
         "0.0.0.0:9090",
         ""},
        {{"--claim-expiry=86400", "--metrics", "[::1]:65535"},
         std::chrono::hours(24),
         "[::1]:65535",
         ""},
        {{"--metrics=127.0.0.1:1"}, {}, "127.0.0.1:1", ""},
        {{"--claim-expiry=59"}, {}, "", expiry + "not \"59\"."},
        {{"--claim-expiry", "2m"}, {}, "", expiry + "not \"2m\"."},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseServiceOptions(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << c.arguments.back();
        EXPECT_EQ(parsed.options ? parsed.options->claimExpiry : std::nullopt, c.expiry);
        EXPECT_EQ(parsed.options ? parsed.options->metricsAddress : "", c.metrics);
    }
    for (const std::string refused : {"9090", ":9090", "0.0.0.0:0", "0.0.0.0:65536", "host:"}) {
        EXPECT_EQ(ParseServiceOptions({"--metrics", refused}).error,
                  address + "not \"" + refused + "\".");
    }
}

}  // namespace
}  // namespace quillrun::service
