#include "orlavex/orlavex_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orlavex::test {

namespace {

// A file that collects a child's output and disappears with this object.
class CaptureFile {
  public:
    CaptureFile() {
        char pattern[] = "/tmp/orlavex-test-output-XXXXXX";
        m_fd = ::mkstemp(pattern);
        if (m_fd < 0) {
            throw std::runtime_error("cannot create a capture file");
        }
        m_path = pattern;
    }
    ~CaptureFile() {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    int fd() const { return m_fd; }
    std::string contents() const { return ReadWholeFile(m_path); }

  private:
    int m_fd = -1;
    std::string m_path;
};

pid_t Spawn(const std::vector<std::string>& argv, int in, int out, int err,
            const std::vector<std::string>& extraEnvironment) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    std::vector<std::string> environmentEntries(extraEnvironment);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environmentEntries.emplace_back(*entry);
    }
    std::vector<char*> environment;
    for (const std::string& entry : environmentEntries) {
        environment.push_back(const_cast<char*>(entry.c_str()));
    }
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in >= 0) {
        posix_spawn_file_actions_adddup2(&actions, in, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    pid_t pid = -1;
    const int started =
        ::posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

std::vector<std::string> OrlavexArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{ORLAVEX_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

std::string RunForOutput(const std::vector<std::string>& argv) {
    CaptureFile out;
    CaptureFile err;
    const pid_t pid = Spawn(argv, -1, out.fd(), err.fd(), {});
    const int status = WaitForExit(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << argv[0] << ": " << err.contents();
    return out.contents();
}

RunResult RunProgram(const std::vector<std::string>& argv, int standardInput,
                     const std::vector<std::string>& extraEnvironment) {
    CaptureFile out;
    CaptureFile err;
    const pid_t pid = Spawn(argv, standardInput, out.fd(), err.fd(), extraEnvironment);
    RunResult result;
    result.status = WaitForExit(pid);
    result.standardOutput = out.contents();
    result.standardError = err.contents();
    return result;
}

}  // namespace

bool RunResult::exitedWith(int code) const {
    return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

RunResult RunOrlavex(const std::vector<std::string>& arguments, int standardInput,
                     const std::vector<std::string>& extraEnvironment) {
    return RunProgram(OrlavexArguments(arguments), standardInput, extraEnvironment);
}

RunResult RunCommand(const std::vector<std::string>& argv) {
    return RunProgram(argv, -1, {});
}

pid_t StartOrlavex(const std::vector<std::string>& arguments) {
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = Spawn(OrlavexArguments(arguments), -1, quiet, quiet, {});
    ::close(quiet);
    return pid;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return status;
}

std::string TextOfPdf(const std::string& path) {
    return NormalisedText(RunForOutput({"pdftotext", "-enc", "UTF-8", path, "-"}));
}

std::vector<std::string> PageTextsOfPdf(const std::string& path) {
    const std::string text = RunForOutput({"pdftotext", "-enc", "UTF-8", path, "-"});
    std::vector<std::string> pages;
    std::size_t start = 0;
    // pdftotext ends every page with a form feed.
    for (std::size_t end; (end = text.find('\f', start)) != std::string::npos; start = end + 1) {
        pages.push_back(NormalisedText(text.substr(start, end - start)));
    }
    return pages;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += line + " ";
    }
    return NormalisedText(joined);
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

float StatisticsLine::confidence() const {
    const int net = characters - 2 * low - middling;
    if (characters == 0 || net <= 0) {
        return 0.0F;
    }
    return static_cast<float>(net) * 100.0F / static_cast<float>(characters);
}

std::vector<StatisticsLine> ReadStatistics(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    std::vector<StatisticsLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "statistics line without CR LF: " << bytes.substr(start);
            break;
        }
        const std::string text = bytes.substr(start, end - start);
        StatisticsLine line;
        std::sscanf(text.c_str(), "%d, %d, %d, %d, %d", &line.characters, &line.low, &line.middling,
                    &line.words, &line.rotation);
        // Written back in the one shape the file may have, the line must come out unchanged.
        const std::string expected =
            std::to_string(line.characters) + ", " + std::to_string(line.low) + ", " +
            std::to_string(line.middling) + ", " + std::to_string(line.words) + ", " +
            std::to_string(line.rotation);
        EXPECT_EQ(text, expected);
        EXPECT_TRUE(line.rotation % 90 == 0 && line.rotation >= 0 && line.rotation < 360);
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

}  // namespace orlavex::test
