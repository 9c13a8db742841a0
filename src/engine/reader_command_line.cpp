#include "engine/reader_command_line.h"

namespace quillrun {
namespace {

// A path holds no double quote; backslashes at its end are doubled, or the closing quote would
// count as one of its characters.
std::string Quoted(const std::string& text) {
    const std::size_t kept = text.find_last_not_of('\\') + 1;
    return '"' + text + std::string(text.size() - kept, '\\') + '"';
}

std::string ReplacePlaceholders(const std::string& line, const std::string& image,
                                const std::string& document) {
    const std::string quotedImage = Quoted(image);
    const std::string quotedDocument = Quoted(document);
    std::string result;
    result.reserve(line.size() + 2 * (quotedImage.size() + quotedDocument.size()));
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '^' && i + 1 < line.size() && (line[i + 1] == 'S' || line[i + 1] == 'D')) {
            result += line[i + 1] == 'S' ? quotedImage : quotedDocument;
            ++i;
        } else {
            result += line[i];
        }
    }
    return result;
}

}  // namespace

std::string QuoteArgument(const std::string& argument) {
    if (argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    // The rules by which Windows programs split their command line, and SplitCommandLine too:
    // backslashes are plain unless a double quote follows them, where each counts twice and an
    // odd one makes the quote a character of the argument.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + '"';
}

std::string BuildReaderCommandLine(const ReaderInvocation& invocation) {
    const auto replaced = [&](const std::string& text) {
        return ReplacePlaceholders(text, invocation.imagePath, invocation.documentPath);
    };
    // The user name and password are the user's values, not part of the template: they reach the
    // reading program whole, placeholders and all.
    std::string line = replaced(invocation.readerPath) + " ";
    if (!invocation.user.empty()) {
        line += QuoteArgument("-user:" + invocation.user);
        if (!invocation.password.empty()) {
            line += " " + QuoteArgument("-pwd:" + invocation.password);
        }
        line += " ";
    }
    return line + replaced(invocation.commandArgs) + " -stat:" + Quoted(invocation.statisticsPath);
}

bool CanBeQuoted(const std::string& path) {
    return path.find('"') == std::string::npos;
}

}  // namespace quillrun
