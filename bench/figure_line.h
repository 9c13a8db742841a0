#pragma once

#include <cstdio>
#include <ostream>
#include <string>

namespace quillrun::bench {

// One line of the figure table, in the columns every bench program prints: name, value,
// reference, ratio, target and the verdict.
inline void PrintFigureLine(std::ostream& out, const std::string& name, const std::string& value,
                            const std::string& reference, const std::string& ratio,
                            const std::string& target, const std::string& verdict) {
    char line[256];
    std::snprintf(line, sizeof line, "%-41s %-17s %-31s %-6s %-11s %s", name.c_str(), value.c_str(),
                  reference.c_str(), ratio.c_str(), target.c_str(), verdict.c_str());
    out << line << '\n';
}

}  // namespace quillrun::bench
