#include "service/service_options.h"

#include <charconv>
#include <string_view>

#include "service/service_usage.h"
#include "service/settings_import.h"

namespace quillrun::service {
namespace {

std::optional<unsigned> ParseWholeNumber(std::string_view text, unsigned least, unsigned most) {
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < least ||
        number > most) {
        return std::nullopt;
    }
    return number;
}

// HOST:PORT, where HOST is an IPv4 address or an IPv6 one in brackets, as the metrics server
// listens; which addresses exist is the server's to find out.
bool IsListeningAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    return colon != std::string_view::npos && colon > 0 &&
           ParseWholeNumber(text.substr(colon + 1), 1, 65535).has_value();
}

// An option that takes a value, given as "--name VALUE" or "--name=VALUE".
struct ValuedOption {
    std::string_view name;
    bool given = false;
    std::string value;
};

// True when argument is option (consuming the next argument as its value when needed); false
// when it is some other argument. error says when the value is missing.
bool TakeValuedOption(const std::vector<std::string>& arguments, std::size_t& index,
                      ValuedOption& option, std::string& error) {
    const std::string_view argument = arguments[index];
    if (argument == option.name) {
        if (index + 1 >= arguments.size()) {
            error = std::string(option.name) + " needs a value.";
            return true;
        }
        option.value = arguments[++index];
    } else if (argument.starts_with(option.name) && argument.size() > option.name.size() &&
               argument[option.name.size()] == '=') {
        option.value = argument.substr(option.name.size() + 1);
    } else {
        return false;
    }
    if (option.given) {
        error = std::string(option.name) + " is given twice.";
    }
    option.given = true;
    return true;
}

}  // namespace

ParsedOptions ParseServiceOptions(const std::vector<std::string>& arguments) {
    ServiceOptions options;
    ValuedOption jobs{"--jobs", false, {}};
    ValuedOption pageStatistics{"--page-stats", false, {}};
    ValuedOption claimExpiry{"--claim-expiry", false, {}};
    ValuedOption metrics{"--metrics", false, {}};
    std::string error;
    for (std::size_t i = 0; i < arguments.size() && error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--import-settings" && HasSettingsImport()) {
            options.importSettings = true;
        } else if (!TakeValuedOption(arguments, i, jobs, error) &&
                   !TakeValuedOption(arguments, i, pageStatistics, error) &&
                   !TakeValuedOption(arguments, i, claimExpiry, error) &&
                   !TakeValuedOption(arguments, i, metrics, error)) {
            error = argument.starts_with("-") ? "unknown option " + argument + "."
                                              : "unexpected argument " + argument + ".";
        }
    }
    if (error.empty() && jobs.given) {
        options.jobs = ParseWholeNumber(jobs.value, 1, kMostJobs);
        if (!options.jobs) {
            error = "--jobs needs a whole number from 1 to " + std::to_string(kMostJobs) +
                    ", not \"" + jobs.value + "\".";
        }
    }
    if (error.empty() && pageStatistics.given) {
        if (pageStatistics.value.empty()) {
            error = "--page-stats needs a file name.";
        }
        options.pageStatisticsFile = pageStatistics.value;
    }
    if (error.empty() && claimExpiry.given) {
        const auto seconds =
            ParseWholeNumber(claimExpiry.value, static_cast<unsigned>(kShortestClaimExpiry.count()),
                             static_cast<unsigned>(kLongestClaimExpiry.count()));
        if (seconds) {
            options.claimExpiry = std::chrono::seconds(*seconds);
        } else {
            error = "--claim-expiry needs a whole number of seconds from " +
                    std::to_string(kShortestClaimExpiry.count()) + " to " +
                    std::to_string(kLongestClaimExpiry.count()) + ", not \"" + claimExpiry.value +
                    "\".";
        }
    }
    if (error.empty() && metrics.given) {
        if (!IsListeningAddress(metrics.value)) {
            error = "--metrics needs an address and a port, such as 0.0.0.0:9090, not \"" +
                    metrics.value + "\".";
        }
        options.metricsAddress = metrics.value;
    }
    if (!error.empty()) {
        return {std::nullopt, error};
    }
    return {options, {}};
}

std::string ServiceUsage() {
    return R"(Usage: quillrun-service [--jobs N] [--page-stats FILE] [--claim-expiry SECONDS]
                        [--metrics HOST:PORT] [--check]
)" + std::string(kSystemUsage.synopsis) +
           "\n" + std::string(kSystemUsage.introduction) + R"(
  --jobs N            convert up to N images at once (default: the number of processors)
  --page-stats FILE   append every document's page statistics to FILE, as CSV
                      (document, page, characters, confidence)
  --claim-expiry SECONDS
                      take over a claim of another machine or container once it has
                      not been renewed for SECONDS (60 to 86400; default 600). Renewals
                      come every 30 s: a shorter expiry frees a killed instance's image
                      sooner, but takes it from a live one that is cut off for longer
  --metrics HOST:PORT serve Prometheus metrics at /metrics and the probes /healthz and
                      /readyz on HOST:PORT (0.0.0.0:9090 for every IPv4 address)
  --check             only check the settings, say where they came from, and end
)" + std::string(kSystemUsage.options) +
           R"(  --help              show this text

Several instances, on this machine or on others, may work on one destination hierarchy:
each claims the image it converts with a .clm file beside the document.

)" + std::string(kSystemUsage.exitStatus);
}

}  // namespace quillrun::service
