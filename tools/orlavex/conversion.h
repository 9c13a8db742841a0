#pragma once

#include <string>

#include "options.h"

namespace orlavex {

enum class Outcome {
    Written,   // the document is in place, with the statistics file when one was asked for
    Failed,    // nothing was left behind; error says why
    Cancelled  // a termination signal arrived; nothing was left behind
};

struct ConversionResult {
    Outcome outcome = Outcome::Failed;
    std::string error;
    std::string warning;  // a document was written, but something after it went wrong
};

// Recognises every page of the input and writes the searchable document and its statistics.
ConversionResult Convert(const Options& options);

}  // namespace orlavex
