#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "orlavex/text_comparison.h"

namespace orlavex::test {

struct RunResult {
    int status = -1;  // as waitpid reports it
    std::string standardOutput;
    std::string standardError;

    bool exitedWith(int code) const;
    bool succeeded() const { return exitedWith(0); }
};

// Runs orlavex with these arguments (without the program name), never through a shell, with
// standard input at the end of an empty file unless a descriptor is given, and extra
// environment entries ("NAME=value") in front of this process's environment.
RunResult RunOrlavex(const std::vector<std::string>& arguments, int standardInput = -1,
                     const std::vector<std::string>& extraEnvironment = {});

// Runs another program (found on PATH) the same way, for instance one of poppler-utils.
RunResult RunCommand(const std::vector<std::string>& argv);

// Starts orlavex and returns at once; the caller reaps it with WaitForExit.
pid_t StartOrlavex(const std::vector<std::string>& arguments);
int WaitForExit(pid_t pid);

// The text that pdftotext finds in a PDF file, with every run of white space made one blank.
std::string TextOfPdf(const std::string& path);
// Page texts of a PDF file, as pdftotext separates them.
std::vector<std::string> PageTextsOfPdf(const std::string& path);

std::string JoinLines(const std::vector<std::string>& lines);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& folder);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Parses statistics lines "C, D, S, W, R" ended by CR LF; fails the test on any other shape.
struct StatisticsLine {
    int characters = 0;
    int low = 0;
    int middling = 0;
    int words = 0;
    int rotation = 0;
    // The confidence figure that Quillrun's harvest computes from the line.
    float confidence() const;
};
std::vector<StatisticsLine> ReadStatistics(const std::string& path);

}  // namespace orlavex::test
