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
// statistics path. Every "^S" and "^D" of the reader path and the template becomes the quoted
// image and document path. The line is scanned once, so a path that itself contains "^D" or "^S"
// is carried as it is and never rewritten. The user name and password are taken as they stand
// and reach the program as one argument each: quoted only when they hold a blank, a tab or a
// double quote.
std::string BuildReaderCommandLine(const ReaderInvocation& invocation);

// The argument as it stands when it holds no blank, tab or double quote; otherwise quoted so that
// the program receives it whole (SplitCommandLine's rules, which are the Windows ones).
std::string QuoteArgument(const std::string& argument);

// A path holding a double-quote character cannot be carried by the quoted command line.
bool CanBeQuoted(const std::string& path);

}  // namespace quillrun
