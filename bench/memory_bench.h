#pragma once

namespace quillrun::bench {

inline constexpr const char* kPageStatsChildOption = "--page-stats-child";

// The child process of figure 7: harvests a million page records and writes its peak resident
// size to the result file. argv: program, option, folder, result file.
int RunPageStatsChild(int argc, char** argv);

}  // namespace quillrun::bench
