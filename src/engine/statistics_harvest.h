#pragma once

#include <string>

#include "engine/page_stats.h"

namespace quillrun {

class JobObserver;

// Turns the statistics file the reading program wrote beside a finished document into one record
// per page, removes the file, and logs the document's summary ("... has been created.", the page
// count, the poorly recognised pages). A missing or unreadable file gives no pages.
DocumentStatistics HarvestStatistics(const std::string& documentPath,
                                     const std::string& statisticsPath, JobObserver& log);

}  // namespace quillrun
