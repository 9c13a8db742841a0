#include "engine/page_stats.h"

namespace quillrun {

std::vector<PageStats> g_pageStats;

void ResetPageStats() {
    g_pageStats.clear();
}

}  // namespace quillrun
