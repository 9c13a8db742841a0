#include "page_cleanup.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orlavex {

namespace {

// Leptonica's own limits for pixDeskew: smaller angles are noise, and a score below this
// confidence means that the page has too little text to measure.
constexpr float kSmallestSkewDegrees = 0.1F;
constexpr float kLeastSkewConfidence = 3.0F;

// At 300 dpi the dot of an i or a full stop in 8-point type measures four pixels or more;
// anything smaller on both sides is a speck.
constexpr double kSpeckSizeAt300Dpi = 4.0;

PixPtr GreyOf(Pix* pix) {
    switch (pixGetDepth(pix)) {
        case 8:
            return PixPtr(pixClone(pix));
        case 32:
            return PixPtr(pixConvertRGBToLuminance(pix));
        default:
            return PixPtr(pixConvertTo8(pix, 0));
    }
}

}  // namespace

PixPtr Binarize(Pix* pix) {
    if (pixGetDepth(pix) == 1) {
        return PixPtr(pixCopy(nullptr, pix));
    }
    const PixPtr grey = GreyOf(pix);
    if (!grey) {
        return nullptr;
    }
    // One tile as large as the page gives one global threshold; scans are lit evenly enough,
    // and Tesseract thresholds the grey page again by itself for recognition.
    const l_int32 width = std::max(16, static_cast<int>(pixGetWidth(grey.get())));
    const l_int32 height = std::max(16, static_cast<int>(pixGetHeight(grey.get())));
    Pix* binary = nullptr;
    if (pixOtsuAdaptiveThreshold(grey.get(), width, height, 0, 0, 0.0F, nullptr, &binary) != 0) {
        return nullptr;
    }
    return PixPtr(binary);
}

bool PrepareImage(PageImage& page, bool despeckle) {
    page.binary = Binarize(page.pix.get());
    if (!page.binary) {
        return false;
    }
    if (despeckle) {
        RemoveSpecks(page);
    }
    return true;
}

bool RotateQuarterTurns(PageImage& page, int quarterTurns) {
    quarterTurns = ((quarterTurns % 4) + 4) % 4;
    if (quarterTurns == 0) {
        return true;
    }
    page.pix.reset(pixRotateOrth(page.pix.get(), quarterTurns));
    page.binary.reset(pixRotateOrth(page.binary.get(), quarterTurns));
    page.originalFile.clear();
    return page.pix && page.binary;
}

namespace {

int FindGutter(Pix* binary) {
    const int width = pixGetWidth(binary);
    const NumaPtr inkPerColumn(pixCountPixelsByColumn(binary));
    const int centre = width / 2;
    if (!inkPerColumn) {
        return centre;
    }
    // The gutter lies within the middle fifth; of the emptiest columns there, the one nearest
    // the centre wins, so that an empty spread is split in half.
    const int reach = width / 10;
    int best = centre;
    float bestInk = 0.0F;
    numaGetFValue(inkPerColumn.get(), centre, &bestInk);
    for (int offset = 1; offset <= reach; ++offset) {
        for (const int column : {centre - offset, centre + offset}) {
            float ink = 0.0F;
            if (column > 0 && column < width &&
                numaGetFValue(inkPerColumn.get(), column, &ink) == 0 && ink < bestInk) {
                bestInk = ink;
                best = column;
            }
        }
    }
    return best;
}

bool Clip(const PageImage& whole, int x, int width, PageImage& part) {
    const BoxPtr box(boxCreate(x, 0, width, pixGetHeight(whole.pix.get())));
    part.pix.reset(pixClipRectangle(whole.pix.get(), box.get(), nullptr));
    part.binary.reset(pixClipRectangle(whole.binary.get(), box.get(), nullptr));
    part.resolution = whole.resolution;
    return part.pix && part.binary;
}

}  // namespace

bool SplitSpread(PageImage& spread, PageImage& left, PageImage& right) {
    const int width = pixGetWidth(spread.pix.get());
    if (width < 2) {
        return false;
    }
    const int gutter = std::clamp(FindGutter(spread.binary.get()), 1, width - 1);
    return Clip(spread, 0, gutter, left) && Clip(spread, gutter, width - gutter, right);
}

int RemoveSpecks(PageImage& page) {
    const int size =
        std::max(2, static_cast<int>(std::lround(kSpeckSizeAt300Dpi * page.resolution / 300.0)));
    l_int32 changed = 0;
    PixPtr kept(pixSelectBySize(page.binary.get(), size, size, 8, L_SELECT_IF_EITHER,
                                L_SELECT_IF_GTE, &changed));
    if (!kept || changed == 0) {
        return 0;
    }
    PixPtr specks(pixSubtract(nullptr, page.binary.get(), kept.get()));
    l_int32 speckCount = 0;
    if (!specks || pixCountConnComp(specks.get(), 8, &speckCount) != 0) {
        return 0;
    }
    const int depth = pixGetDepth(page.pix.get());
    if (depth == 1) {
        page.pix.reset(pixCopy(nullptr, kept.get()));
    } else {
        // A speck on a grey scan has a soft rim that the threshold left out; widening the mask
        // by a pixel takes the rim with it.
        const PixPtr mask(pixDilateBrick(nullptr, specks.get(), 3, 3));
        pixSetMasked(page.pix.get(), mask.get(), depth == 8 ? 255 : 0xffffff00);
    }
    page.binary = std::move(kept);
    page.originalFile.clear();
    return speckCount;
}

float Straighten(PageImage& page) {
    l_float32 angle = 0.0F;
    l_float32 confidence = 0.0F;
    if (pixFindSkew(page.binary.get(), &angle, &confidence) != 0 ||
        confidence < kLeastSkewConfidence || std::fabs(angle) < kSmallestSkewDegrees) {
        return 0.0F;
    }
    const auto radians = static_cast<l_float32>(angle * std::numbers::pi / 180.0);
    const bool binaryPage = pixGetDepth(page.pix.get()) == 1;
    PixPtr pix(pixRotate(page.pix.get(), radians,
                         binaryPage ? L_ROTATE_SAMPLING : L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0,
                         0));
    PixPtr binary(pixRotate(page.binary.get(), radians, L_ROTATE_SAMPLING, L_BRING_IN_WHITE, 0, 0));
    if (!pix || !binary) {
        return 0.0F;
    }
    page.pix = std::move(pix);
    page.binary = std::move(binary);
    page.originalFile.clear();
    return angle;
}

}  // namespace orlavex
