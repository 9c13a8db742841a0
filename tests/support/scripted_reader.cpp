// A reading program for tests, steered by extra options that the argument template passes
// through unchanged. Without options it behaves like a good reader: it writes the document and a
// one-page statistics file.
//
//   --record=FILE        write the argument vector to FILE, each argument followed by a NUL
//   --no-doc             write no document
//   --stats=L1|L2|...    the statistics lines, each ended by CR LF ("" for no file)
//   --stats-bytes=FILE   copy FILE's bytes as the statistics file
//   --hold-doc-until=F   leave a child process that keeps the document open until F exists
//   --sleep-forever      wait until ended by a signal
//   --sleep-after-doc    write the document and the statistics file, then wait until ended
//   --remove-out-folder  remove the folder of the document and all it holds (the job's claim)
//                        before ending, as a destination cleared while the work runs would
//   --crash              end with SIGSEGV before writing anything
//   --exit=N             exit with status N
//   --list-fds=FILE      write the numbers of the descriptors it was started with to FILE
//   --stats-random=N     N random bytes as the statistics file
//   --stats-long-line=N  one line of N digits and commas
//   --stats-lines=N      N well-formed lines
//   --random-outcome=S   success, no document (but a statistics file), a crash or garbage
//                        statistics, chosen from the input path and the seed S
//   --fresh              leave the document's modification time as it is (normally back-dated,
//                        as if it had been written before the quiet period)
//   --tally=FILE         append the image's path and a line feed to FILE when it starts, in one
//                        write, so that several instances can count their runs in one file
//   --wait-for=FLAG      wait until FLAG exists before going on; if the program that started it
//                        ends meanwhile, end at once without writing anything
//   --burn-ms=N          spend N milliseconds of processor time before writing, as a reader of
//                        fixed cost would
//
// A second use serves the tests directly: --hold PATH r|w|x READYFLAG RELEASEFLAG opens PATH,
// creates READYFLAG, and keeps PATH open until RELEASEFLAG exists; --lock PATH READYFLAG
// RELEASEFLAG holds an exclusive lock on PATH, as another writer of a log file would.
//
// Texts are UTF-8 on every system: on Windows the arguments arrive as UTF-16 and files are named
// in UTF-16, so that any letters reach it intact and are recorded as they came.
#include "support/scripted_reader.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>

namespace scripted_reader {
namespace {

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Documents arrive complete: back-dated past the quiet period of a file still being written.
void Backdate(const std::string& path) {
    std::error_code ignored;
    std::filesystem::last_write_time(
        FsPath(path), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1),
        ignored);
}

std::string StatisticsFromOption(std::string_view lines) {
    std::string bytes;
    while (!lines.empty()) {
        const auto bar = lines.find('|');
        bytes += std::string(lines.substr(0, bar)) + "\r\n";
        lines = bar == std::string_view::npos ? std::string_view() : lines.substr(bar + 1);
    }
    return bytes;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RandomBytes(std::mt19937& random, std::size_t count) {
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

std::string ManyLines(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes += std::to_string(100 + i % 900) + ", 1, 2, 3, 4\r\n";
    }
    return bytes;
}

}  // namespace

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(FsPath(path), error);
}

void WaitFor(const std::string& flag) {
    // Bounded, so a forgotten holder never outlives the test run by much.
    for (int i = 0; i < 6000 && !Exists(flag); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

int Run(const std::vector<std::string>& arguments) {
    const std::size_t argc = arguments.size();
    if (argc == 6 && arguments[1] == "--hold") {
        return HoldFile(arguments[2], arguments[3], arguments[4], arguments[5]);
    }
    if (argc == 5 && arguments[1] == "--lock") {
        return LockFile(arguments[2], arguments[3], arguments[4]);
    }
    std::string input, output, statistics, record, holdUntil;
    std::string statisticsBytes = "600, 6, 9, 0, 0\r\n";
    bool writeDocument = true, sleepForever = false, crash = false, fresh = false;
    bool sleepAfterDocument = false, removeOutFolder = false;
    int exitCode = 0;
    std::string randomSeed, tally, waitFor;
    long burnMilliseconds = 0;
    for (std::size_t i = 1; i < argc; ++i) {
        const std::string_view argument(arguments[i]);
        const auto value = [&](std::string_view prefix) {
            return std::string(argument.substr(prefix.size()));
        };
        if (argument.starts_with("-in:")) {
            input = value("-in:");
        } else if (argument.starts_with("-out:")) {
            output = value("-out:");
        } else if (argument.starts_with("-stat:")) {
            statistics = value("-stat:");
        } else if (argument.starts_with("--record=")) {
            record = value("--record=");
        } else if (argument == "--no-doc") {
            writeDocument = false;
        } else if (argument.starts_with("--stats=")) {
            statisticsBytes = StatisticsFromOption(argument.substr(8));
        } else if (argument.starts_with("--stats-bytes=")) {
            statisticsBytes = ReadAll(value("--stats-bytes="));
        } else if (argument.starts_with("--hold-doc-until=")) {
            holdUntil = value("--hold-doc-until=");
        } else if (argument == "--sleep-forever") {
            sleepForever = true;
        } else if (argument == "--sleep-after-doc") {
            sleepAfterDocument = true;
        } else if (argument == "--remove-out-folder") {
            removeOutFolder = true;
        } else if (argument == "--crash") {
            crash = true;
        } else if (argument.starts_with("--exit=")) {
            exitCode = std::atoi(value("--exit=").c_str());
        } else if (argument.starts_with("--list-fds=")) {
            ListDescriptors(value("--list-fds="));
        } else if (argument.starts_with("--stats-random=")) {
            std::mt19937 random(12345);
            statisticsBytes = RandomBytes(random, std::stoul(value("--stats-random=")));
        } else if (argument.starts_with("--stats-long-line=")) {
            statisticsBytes.assign(std::stoul(value("--stats-long-line=")), '7');
            for (std::size_t at = 3; at < statisticsBytes.size(); at += 4) {
                statisticsBytes[at] = ',';
            }
        } else if (argument.starts_with("--stats-lines=")) {
            statisticsBytes = ManyLines(std::stoul(value("--stats-lines=")));
        } else if (argument.starts_with("--random-outcome=")) {
            randomSeed = value("--random-outcome=");
        } else if (argument == "--fresh") {
            fresh = true;
        } else if (argument.starts_with("--tally=")) {
            tally = value("--tally=");
        } else if (argument.starts_with("--wait-for=")) {
            waitFor = value("--wait-for=");
        } else if (argument.starts_with("--burn-ms=")) {
            burnMilliseconds = std::atol(value("--burn-ms=").c_str());
        }
    }
    if (!randomSeed.empty()) {
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(input + randomSeed)));
        switch (random() % 4) {
            case 0:
                statisticsBytes = ManyLines(1 + random() % 5);
                break;
            case 1:
                writeDocument = false;
                exitCode = 1;
                WriteBytes(statistics, "1, 2, 3, 4, 5\r\n");
                break;
            case 2:
                crash = true;
                break;
            default:
                statisticsBytes = RandomBytes(random, random() % 2000);
                break;
        }
    }
    if (!record.empty()) {
        std::string bytes;
        for (const std::string& argument : arguments) {
            bytes += argument;
            bytes += '\0';
        }
        WriteBytes(record, bytes);
    }
    if (!tally.empty()) {
        Tally(tally, input);
    }
    if (crash) {
        Crash();
    }
    if (!waitFor.empty() && !WaitForFlagWhileParentRuns(waitFor)) {
        return 3;
    }
    Burn(burnMilliseconds);
    if (sleepForever) {
        SleepForever();
    }
    // Like any reader, it cannot make a document of an image that is not there.
    if (!input.empty() && !Exists(input)) {
        std::fprintf(stderr, "scripted_reader: cannot read the image\n");
        return 2;
    }
    if (writeDocument && !output.empty()) {
        WriteBytes(output, "document of " + input);
        if (!fresh) {
            Backdate(output);
        }
        if (!statistics.empty() && !statisticsBytes.empty()) {
            WriteBytes(statistics, statisticsBytes);
        }
        if (!holdUntil.empty()) {
            HoldDocumentUntil(output, holdUntil);
        }
    }
    if (sleepAfterDocument) {
        SleepForever();
    }
    if (removeOutFolder) {
        std::error_code ignored;
        std::filesystem::remove_all(FsPath(output).parent_path(), ignored);
    }
    return exitCode;
}

}  // namespace scripted_reader
