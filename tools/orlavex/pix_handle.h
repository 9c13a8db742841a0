#pragma once

#include <leptonica/allheaders.h>

#include <memory>

namespace orlavex {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
// Owns one Leptonica image; Leptonica's functions return new images, never shared ones, except
// where pixClone is called on purpose.
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

struct BoxDeleter {
    void operator()(Box* box) const { boxDestroy(&box); }
};
using BoxPtr = std::unique_ptr<Box, BoxDeleter>;

struct NumaDeleter {
    void operator()(Numa* numa) const { numaDestroy(&numa); }
};
using NumaPtr = std::unique_ptr<Numa, NumaDeleter>;

}  // namespace orlavex
