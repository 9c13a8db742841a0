#include "bench_runs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string_view>

#include "bench_workspace.h"

extern char** environ;

namespace quillrun::bench {
namespace {

using Clock = std::chrono::steady_clock;

// However loaded the machine, a run that takes this long has gone wrong.
constexpr auto kLongestRun = std::chrono::minutes(30);

std::string NumberOf(int value, int width) {
    std::string text = std::to_string(value);
    return std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, '0') + text;
}

pid_t Spawn(const std::vector<std::string>& arguments,
            const posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv.front(), actions, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

ImageSet MakeImageSet(const std::string& root, int images, int imagesPerFolder) {
    ImageSet set{root + "/in", {}};
    MakeFolder(set.source);
    for (int image = 0; image < images; ++image) {
        const std::string folder = "box-" + NumberOf(image / imagesPerFolder, 3);
        if (image % imagesPerFolder == 0) {
            MakeFolder(set.source + "/" + folder);
        }
        const std::string relative = folder + "/scan-" + NumberOf(image, 4) + ".tif";
        const std::string path = set.source + "/" + relative;
        MakeEmptyFile(path);
        Backdate(path, std::chrono::hours(1));
        set.relativeImages.push_back(relative);
    }
    return set;
}

TimedRun RunReadersInParallel(const std::string& reader, const ImageSet& images,
                              const std::string& destination, unsigned parallel,
                              const std::vector<std::string>& readerOptions) {
    // The folders are there already; the service creates its own as part of each job.
    for (const std::string& relative : images.relativeImages) {
        std::filesystem::create_directories(
            std::filesystem::path(destination + "/" + relative).parent_path());
    }
    TimedRun run;
    const auto start = Clock::now();
    std::size_t next = 0;
    unsigned running = 0;
    while (next < images.relativeImages.size() || running > 0) {
        while (running < parallel && next < images.relativeImages.size()) {
            const std::string& relative = images.relativeImages[next++];
            const std::string stem = destination + "/" + relative.substr(0, relative.size() - 4);
            std::vector<std::string> arguments{reader, "-in:" + images.source + "/" + relative,
                                               "-out:" + stem + ".orx", "-nomessage", "-x"};
            arguments.insert(arguments.end(), readerOptions.begin(), readerOptions.end());
            arguments.push_back("-stat:" + stem + ".dat");
            if (Spawn(arguments) < 0) {
                run.problem = "the reading program did not start";
                return run;
            }
            ++running;
        }
        int status = 0;
        if (::waitpid(-1, &status, 0) > 0) {
            --running;
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                run.problem = "a reading program failed";
            }
        }
    }
    run.seconds = SecondsSince(start);
    return run;
}

TimedRun RunServiceUntilConverted(const std::string& service,
                                  const std::vector<std::string>& arguments, int images) {
    TimedRun run;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        run.problem = "no pipe";
        return run;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<std::string> command{service};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const auto start = Clock::now();
    const pid_t pid = Spawn(command, &actions);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        run.problem = "quillrun-service did not start";
        return run;
    }
    // Counts the documents its log reports, reading whole lines only.
    const std::string created = " has been created.";
    std::string pending;
    int converted = 0;
    char buffer[65536];
    while (converted < images) {
        pollfd output{pipeEnds[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start + kLongestRun - Clock::now());
        if (left.count() <= 0 || ::poll(&output, 1, static_cast<int>(left.count())) <= 0) {
            run.problem = "quillrun-service took too long";
            break;
        }
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) {
            run.problem = "quillrun-service ended before it had converted every image";
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            if (std::string_view(pending).substr(0, end).ends_with(created)) {
                ++converted;
            }
            pending.erase(0, end + 1);
        }
    }
    run.seconds = SecondsSince(start);
    ::kill(pid, SIGTERM);
    while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (run.problem.empty() && (!WIFEXITED(status) || WEXITSTATUS(status) != 0)) {
        run.problem = "quillrun-service did not end with status 0 on SIGTERM";
    }
    return run;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(std::filesystem::relative(entry.path(), folder).string());
        }
    }
    return files;
}

}  // namespace quillrun::bench
