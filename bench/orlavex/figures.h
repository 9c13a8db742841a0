#pragma once

#include <string>

namespace orlavex::bench {

// The figures scripts/bench prints for orlavex, one line each in the table's columns (name,
// value, reference, ratio, target, PASS or FALL SHORT): how far the confidence figure agrees with
// the share of words misread on the held-out pages of the calibration set in setFolder, how large
// documents of grey and colour scans are against their lossless input and OCRmyPDF's output, the
// speed-up of a six-page document on all processors and the cost of a single page, and the time
// per page against Tesseract's own searchable PDF. Generated files go to workFolder. Returns
// false when a figure falls short or cannot be measured.
bool PrintOrlavexFigures(const std::string& setFolder, const std::string& workFolder,
                         const std::string& self);

}  // namespace orlavex::bench
