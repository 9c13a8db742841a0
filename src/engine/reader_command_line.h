#pragma once

#include <string>

namespace quillrun {

struct ReaderInvocation {
    std::string readerPath;  // already enclosed in double quotes
    std::string user;
    std::string password;
    std::string commandArgs;  // the user's template with ^S and ^D
    std::string imagePath;
    std::string documentPath;
    std::string statisticsPath;
};

// The reading program's command line: the quoted reader path, a blank, "-user:NAME" and
// " -pwd:PASSWORD" with a blank when a user name is set, the template, " -stat:" with the quoted
// statistics path. Every "^S" and "^D" before the statistics option becomes the quoted image and
// document path. The line is scanned once, so a path that itself contains "^D" or "^S" is carried
// as it is and never rewritten.
std::string BuildReaderCommandLine(const ReaderInvocation& invocation);

// A path holding a double-quote character cannot be carried by the quoted command line.
bool CanBeQuoted(const std::string& path);

}  // namespace quillrun
