#include "options.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace orlavex {

namespace {

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

// A language list names trained-data files, so it must not be able to reach outside their
// folder: letters, digits and underscores, joined by '+'.
bool IsValidLanguageList(std::string_view languages) {
    if (languages.empty() || languages.front() == '+' || languages.back() == '+') {
        return false;
    }
    char previous = '\0';
    for (const char c : languages) {
        const bool plus = c == '+';
        if (plus && previous == '+') {
            return false;
        }
        if (!plus && std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '_') {
            return false;
        }
        previous = c;
    }
    return true;
}

// A count of pages at once: digits only, from 1 to a bound that no machine reaches.
bool ParseJobs(std::string_view text, int& jobs) {
    constexpr int kMostJobs = 1024;
    if (text.empty() || text.size() > 4) {
        return false;
    }
    int value = 0;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMostJobs) {
        return false;
    }
    jobs = value;
    return true;
}

constexpr std::string_view kValueOptions[] = {"in", "out", "stat", "lang", "jobs", "user", "pwd"};
constexpr std::string_view kFlags[] = {"d",         "2page",       "autorotate", "rotate0",
                                       "despeckle", "nodespeckle", "deskew",     "nodeskew",
                                       "nomessage", "x",           "register"};

bool IsValueOptionName(std::string_view name) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) !=
           std::end(kValueOptions);
}

bool IsFlagName(std::string_view name) {
    return std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags);
}

struct Parser {
    ParsedArguments result;
    bool sawIn = false;
    bool sawOut = false;
    bool sawStat = false;
    bool sawRegister = false;
    std::size_t count = 0;

    void fail(std::string message) {
        if (result.error.empty()) {
            result.error = std::move(message);
        }
    }

    void setPath(std::string& target, bool& seen, const std::string& name, std::string_view value) {
        if (seen) {
            fail("the option -" + name + ": is given twice");
        } else if (value.empty()) {
            fail("the option -" + name + ": needs a path");
        }
        seen = true;
        target = std::string(value);
    }

    bool takeValueOption(const std::string& name, std::string_view value) {
        Options& options = result.options;
        if (name == "in") {
            setPath(options.inputPath, sawIn, name, value);
        } else if (name == "out") {
            setPath(options.outputPath, sawOut, name, value);
        } else if (name == "stat") {
            setPath(options.statisticsPath, sawStat, name, value);
        } else if (name == "lang") {
            if (!IsValidLanguageList(value)) {
                fail("the option -lang: needs languages such as eng or eng+deu");
            }
            options.languages = std::string(value);
        } else if (name == "jobs") {
            if (!ParseJobs(value, options.jobs)) {
                fail("the option -jobs: needs a number of pages from 1 to 1024");
            }
        } else if (name == "user" || name == "pwd") {
            // Accepted for the caller's sake; this program has no accounts, and the values are
            // never repeated anywhere.
        } else {
            return false;
        }
        return true;
    }

    bool takeFlag(const std::string& name) {
        Options& options = result.options;
        if (name == "d") {
            options.deleteInput = true;
        } else if (name == "2page") {
            options.twoPage = true;
        } else if (name == "autorotate") {
            options.autoRotate = true;
        } else if (name == "rotate0") {
            options.autoRotate = false;
        } else if (name == "despeckle") {
            options.despeckle = true;
        } else if (name == "nodespeckle") {
            options.despeckle = false;
        } else if (name == "deskew") {
            options.deskew = true;
        } else if (name == "nodeskew") {
            options.deskew = false;
        } else if (name == "nomessage") {
            options.quiet = true;
        } else if (name == "x") {
            // The program always ends by itself; options after -x are still read, since the
            // caller appends -stat: behind the user's template.
        } else if (name == "register") {
            sawRegister = true;
        } else {
            return false;
        }
        return true;
    }

    void take(const std::string& argument) {
        ++count;
        if (argument.size() < 2 || argument.front() != '-') {
            // The argument may be a fragment of a password or path split at a blank, so it is
            // identified by its position only.
            fail("argument " + std::to_string(count) +
                 " is not an option (options begin with '-'; paths with blanks need quotes)");
            return;
        }
        const std::size_t colon = argument.find(':');
        const std::string name =
            Lowered(argument.substr(1, colon == std::string::npos ? std::string::npos : colon - 1));
        if (colon != std::string::npos) {
            if (!takeValueOption(name, std::string_view(argument).substr(colon + 1))) {
                fail(IsFlagName(name) ? "the option -" + name + " takes no value"
                                      : "unknown option -" + name + ":");
            }
            return;
        }
        if (IsValueOptionName(name)) {
            fail("the option -" + name + ": needs a value");
        } else if (!takeFlag(name)) {
            fail("unknown option -" + name);
        }
    }

    void finish() {
        if (!result.error.empty()) {
            return;
        }
        if (sawRegister) {
            if (count != 1) {
                fail("-register takes no other options");
            }
            result.command = Command::Register;
            return;
        }
        if (!sawIn) {
            fail("the option -in: naming the image is missing");
        } else if (!sawOut) {
            fail("the option -out: naming the document is missing");
        }
    }
};

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
    Parser parser;
    for (const std::string& argument : arguments) {
        parser.take(argument);
    }
    parser.finish();
    return parser.result;
}

}  // namespace orlavex
