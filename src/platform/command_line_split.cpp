#include "platform/process.h"

namespace quillrun::platform {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool inArgument = false;  // a quoted run makes an argument even when it is empty
    for (const char c : commandLine) {
        if (c == '"') {
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
