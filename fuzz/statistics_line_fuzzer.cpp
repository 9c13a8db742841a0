// Any line a reading program may write: the scan must neither overrun nor overflow, and every
// field it sets must be what the digits say, clamped to 32 bits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/statistics_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    quillrun::StatisticsFields fields{1, 2, 3, 4, 5};
    const int scanned = quillrun::ScanStatisticsLine(line, fields);
    if (scanned < 0 || scanned > 5) {
        std::abort();
    }
    for (int i = scanned; i < 5; ++i) {
        if (fields[static_cast<std::size_t>(i)] != i + 1) {
            std::abort();  // a field the scan did not reach was changed
        }
    }
    const float confidence = quillrun::ComputeConfidence(fields[0], fields[1], fields[2]);
    if (confidence != confidence) {
        std::abort();  // NaN
    }
    // Counts that only take away from a page can never lift it above 100 percent or below 0,
    // as long as the net stays within 32 bits (beyond that it wraps, by design), give or take
    // the rounding of single precision for counts beyond its 24 bits.
    const std::int64_t net = std::int64_t{fields[0]} - 2 * std::int64_t{fields[1]} - fields[2];
    if (fields[0] > 0 && fields[1] >= 0 && fields[2] >= 0 && net >= INT32_MIN &&
        (confidence < 0.0f || confidence > 100.001f)) {
        std::abort();
    }
    return 0;
}
