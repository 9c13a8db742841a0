#include "service/service_options.h"

#include <charconv>
#include <string_view>

#include "service/service_usage.h"
#include "service/settings_import.h"

namespace quillrun::service {
namespace {

std::optional<unsigned> ParseJobs(std::string_view text) {
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (error != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > kMostJobs) {
        return std::nullopt;
    }
    return jobs;
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
                   !TakeValuedOption(arguments, i, pageStatistics, error)) {
            error = argument.starts_with("-") ? "unknown option " + argument + "."
                                              : "unexpected argument " + argument + ".";
        }
    }
    if (error.empty() && jobs.given) {
        options.jobs = ParseJobs(jobs.value);
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
    if (!error.empty()) {
        return {std::nullopt, error};
    }
    return {options, {}};
}

std::string ServiceUsage() {
    return R"(Usage: quillrun-service [--jobs N] [--page-stats FILE] [--check]
)" + std::string(kSystemUsage.synopsis) +
           "\n" + std::string(kSystemUsage.introduction) + R"(
  --jobs N            convert up to N images at once (default: the number of processors)
  --page-stats FILE   append every document's page statistics to FILE, as CSV
                      (document, page, characters, confidence)
  --check             only check the settings, say where they came from, and end
)" + std::string(kSystemUsage.options) +
           R"(  --help              show this text

Several instances, on this machine or on others, may work on one destination hierarchy:
each claims the image it converts with a .clm file beside the document.

)" + std::string(kSystemUsage.exitStatus);
}

}  // namespace quillrun::service
