#include "engine/reader_command_line.h"

namespace quillrun {
namespace {

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
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

std::string BuildReaderCommandLine(const ReaderInvocation& invocation) {
    std::string line = invocation.readerPath + " ";
    if (!invocation.user.empty()) {
        line += "-user:" + invocation.user;
        if (!invocation.password.empty()) {
            line += " -pwd:" + invocation.password;
        }
        line += " ";
    }
    line += invocation.commandArgs;
    return ReplacePlaceholders(line, invocation.imagePath, invocation.documentPath) +
           " -stat:" + Quoted(invocation.statisticsPath);
}

bool CanBeQuoted(const std::string& path) {
    return path.find('"') == std::string::npos;
}

}  // namespace quillrun
