// The figures of quillrun-service, printed in the table of scripts/bench:
//
//   8  throughput on a backlog of single-page images, with a reading program of fixed processor
//      cost: quillrun-service --jobs <processors> against that program run on every image,
//      processors at a time (what "xargs -P" does), over the same images; at least 0.9.
//   9  three instances with two jobs each on one tree: every image converted exactly once, and
//      no claim or statistics file left behind.
//
//   quillrun_service_bench [--workspace=DIR] [--images=200] [--shared-images=300]
//                          [--burn-ms=50] [--repetitions=4]
//
// Everything it makes lives in DIR (default: a new folder in $TMPDIR or /tmp), removed at the end.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench_runs.h"
#include "bench_workspace.h"
#include "figure_line.h"
#include "hive/hive.h"
#include "platform/this_process.h"
#include "registration/reader_registration.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

extern char** environ;

namespace {

using namespace quillrun::bench;

constexpr const char* kService = QUILLRUN_SERVICE_PATH;
constexpr const char* kReader = QUILLRUN_BENCH_READER;
constexpr double kLeastThroughputRatio = 0.9;

struct Options {
    std::string workspace;
    int images = 200;
    int sharedImages = 300;
    int burnMilliseconds = 50;
    int repetitions = 4;
};

bool TakeNumber(std::string_view argument, std::string_view name, int& value) {
    if (!argument.starts_with(name)) {
        return false;
    }
    value = std::atoi(std::string(argument.substr(name.size())).c_str());
    return true;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with("--workspace=")) {
            options.workspace = std::string(argument.substr(12));
        } else if (!TakeNumber(argument, "--images=", options.images) &&
                   !TakeNumber(argument, "--shared-images=", options.sharedImages) &&
                   !TakeNumber(argument, "--burn-ms=", options.burnMilliseconds) &&
                   !TakeNumber(argument, "--repetitions=", options.repetitions)) {
            std::cerr << "quillrun_service_bench: unknown option " << argument << '\n';
            return std::nullopt;
        }
    }
    if (options.images < 1 || options.sharedImages < 1 || options.repetitions < 1) {
        std::cerr << "quillrun_service_bench: counts must be at least 1\n";
        return std::nullopt;
    }
    return options;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Fixed(double value, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f%s", value, unit);
    return text;
}

std::string Load() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// The settings the dialog would have saved, in the hive the service reads.
void SaveServiceSettings(const std::string& source, const std::string& destination,
                         const std::string& logFile, const std::string& readerOptions) {
    quillrun::Settings settings;
    settings.sourcePath = source;
    settings.destPath = destination;
    settings.writeLog = true;
    settings.logPath = logFile;
    settings.commandArgs = std::string(quillrun::kDefaultCommandArgs) + readerOptions;
    quillrun::SaveSettings(settings);
}

// Figure 9: runs the reference and the service alternately, so a burst of other work on the
// machine falls on both alike, and compares the medians.
bool ThroughputFigure(const Options& options, unsigned processors) {
    const std::string root = MakeWorkspaceFolder("throughput");
    const ImageSet images = MakeImageSet(root, options.images, 20);
    const std::string burn = "--burn-ms=" + std::to_string(options.burnMilliseconds);
    std::vector<double> reference;
    std::vector<double> service;
    std::string problem;
    for (int repetition = 0; repetition < options.repetitions && problem.empty(); ++repetition) {
        const std::string suffix = std::to_string(repetition);
        const auto runReaders = [&] {
            return RunReadersInParallel(kReader, images, root + "/reference-" + suffix, processors,
                                        {burn});
        };
        const auto runService = [&] {
            const std::string destination = MakeWorkspaceFolder("throughput/out-" + suffix);
            SaveServiceSettings(images.source, destination, root + "/log-" + suffix + ".txt",
                                " " + burn);
            return RunServiceUntilConverted(kService, {"--jobs", std::to_string(processors)},
                                            options.images);
        };
        // Which goes first alternates, so that a load that grows or shrinks over the run falls
        // on both alike.
        TimedRun readers;
        TimedRun served;
        if (repetition % 2 == 0) {
            readers = runReaders();
            served = runService();
        } else {
            served = runService();
            readers = runReaders();
        }
        problem = !readers.problem.empty() ? readers.problem : served.problem;
        reference.push_back(readers.seconds);
        service.push_back(served.seconds);
    }
    const std::string name = "9 service throughput, " + std::to_string(options.images) + " images";
    const std::string target = ">= " + Fixed(kLeastThroughputRatio, "");
    if (!problem.empty()) {
        PrintFigureLine(std::cout, name, "-", "-", "-", target, "FAILED: " + problem);
        return false;
    }
    const double serviceRate = options.images / Median(service);
    const double referenceRate = options.images / Median(reference);
    const double ratio = serviceRate / referenceRate;
    const bool met = ratio >= kLeastThroughputRatio;
    PrintFigureLine(
        std::cout, name, Fixed(serviceRate, " img/s"),
        Fixed(referenceRate, " img/s") + " (readers -P " + std::to_string(processors) + ")",
        Fixed(ratio, ""), target, met ? "PASS" : "FALL SHORT");
    return met;
}

bool IsJobTrace(const std::string& file) {
    const std::string extension = std::filesystem::path(file).extension().string();
    return extension == ".clm" || extension == ".dat" ||
           (extension.size() == 4 && extension[1] == 'c' &&
            std::isdigit(static_cast<unsigned char>(extension[2])) != 0 &&
            std::isdigit(static_cast<unsigned char>(extension[3])) != 0);
}

// Figure 10: three instances, two jobs each, one tree; the reading program notes every start.
bool SharedTreeFigures(const Options& options) {
    const std::string root = MakeWorkspaceFolder("shared");
    const ImageSet images = MakeImageSet(root, options.sharedImages, 25);
    const std::string destination = MakeWorkspaceFolder("shared/out");
    const std::string tally = root + "/starts.txt";
    SaveServiceSettings(images.source, destination, root + "/log.txt", " --tally=" + tally);
    std::vector<pid_t> instances;
    for (int instance = 0; instance < 3; ++instance) {
        const std::string log = root + "/instance-" + std::to_string(instance) + ".txt";
        std::vector<std::string> arguments{kService, "--jobs", "2"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        if (::posix_spawn(&pid, kService, &actions, nullptr, argv.data(), environ) == 0) {
            instances.push_back(pid);
        }
        ::posix_spawn_file_actions_destroy(&actions);
    }
    // Done when every document is there and no job is running (a job holds its claim from
    // before its reading program starts until after its statistics are harvested).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(30);
    bool finished = false;
    while (!finished && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::vector<std::string> files = FilesBelow(destination);
        const auto documents = std::count_if(files.begin(), files.end(),
                                             [](const auto& f) { return f.ends_with(".orx"); });
        finished = documents == options.sharedImages &&
                   std::none_of(files.begin(), files.end(), IsJobTrace);
    }
    bool cleanEnds = true;
    for (const pid_t pid : instances) {
        ::kill(pid, SIGTERM);
    }
    for (const pid_t pid : instances) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        cleanEnds = cleanEnds && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::ifstream startsFile(tally);
    std::multiset<std::string> starts;
    for (std::string line; std::getline(startsFile, line);) {
        starts.insert(line);
    }
    int once = 0;
    for (const std::string& relative : images.relativeImages) {
        once += starts.count(images.source + "/" + relative) == 1 ? 1 : 0;
    }
    const std::vector<std::string> files = FilesBelow(destination);
    const auto traces = std::count_if(files.begin(), files.end(), IsJobTrace);
    const auto markers = std::count_if(files.begin(), files.end(),
                                       [](const auto& f) { return f.ends_with(".bad"); });
    const std::string total = std::to_string(options.sharedImages);
    const bool allOnce = instances.size() == 3 && cleanEnds && finished &&
                         once == options.sharedImages &&
                         starts.size() == static_cast<std::size_t>(options.sharedImages);
    PrintFigureLine(std::cout, "10 three instances: converted exactly once",
                    std::to_string(once) + " of " + total,
                    std::to_string(starts.size()) + " reader starts", "-", "all, once",
                    allOnce ? "PASS" : "FALL SHORT");
    const bool noneLeft = traces == 0 && markers == 0;
    PrintFigureLine(std::cout, "10 three instances: files left behind",
                    std::to_string(traces) + " claim/dat", std::to_string(markers) + " markers",
                    "-", "none", noneLeft ? "PASS" : "FALL SHORT");
    if (!cleanEnds) {
        std::cout << "  (an instance did not end with status 0 on SIGTERM)\n";
    }
    return allOnce && noneLeft;
}

std::string MakeTemporaryWorkspace() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                          "/quillrun-service-bench.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        FailSetup("cannot create a temporary folder");
    }
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        return 2;
    }
    const bool ownWorkspace = options->workspace.empty();
    SetWorkspaceRoot(ownWorkspace ? MakeTemporaryWorkspace() : options->workspace);
    // The service and its settings live in the workspace: the user's own are never touched.
    ::setenv("XDG_CONFIG_HOME", MakeWorkspaceFolder("config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", MakeWorkspaceFolder("machine").c_str(), 1);
    if (!quillrun::hive::WriteMachineDefaultValue(quillrun::kReaderRegistrationKey, kReader)) {
        FailSetup("cannot register the reading program");
    }
    const unsigned processors = quillrun::platform::ProcessorCount();
    std::cout << "service figures: " << processors << " processors, reader cost "
              << options->burnMilliseconds << " ms cpu per image, load " << Load()
              << " at the start\n";
    const bool throughput = ThroughputFigure(*options, processors);
    const bool shared = SharedTreeFigures(*options);
    std::cout << "load " << Load() << " at the end\n";
    ClearWorkspace();
    if (ownWorkspace) {
        ::rmdir(WorkspaceRoot().c_str());
    }
    return throughput && shared ? 0 : 1;
}
