#include "platform/process.h"

namespace quillrun::platform {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool inArgument = false;  // a quoted run makes an argument even when it is empty
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '\\') {
            // A run of backslashes is plain unless a double quote follows it: then each pair is
            // one backslash, and an odd one left over makes the quote a character.
            const std::size_t end = commandLine.find_first_not_of('\\', i);
            const std::size_t run = (end == std::string_view::npos ? commandLine.size() : end) - i;
            const bool beforeQuote = end != std::string_view::npos && commandLine[end] == '"';
            current.append(beforeQuote ? run / 2 : run, '\\');
            inArgument = true;
            i += run - 1;
            if (beforeQuote && run % 2 == 1) {
                current += '"';
                ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

}  // namespace quillrun::platform
