#include "scanned_copy.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <numbers>
#include <random>
#include <system_error>

namespace quillrun::demo {

namespace {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

struct PixaDeleter {
    void operator()(Pixa* pixa) const { pixaDestroy(&pixa); }
};
using PixaPtr = std::unique_ptr<Pixa, PixaDeleter>;

constexpr int kPaperGrey = 244;  // recycled office paper is never quite white
constexpr int kTextThreshold = 150;
constexpr int kJpegQuality = 80;

PixPtr GreyPixOf(const QImage& page) {
    PixPtr pix(pixCreate(page.width(), page.height(), 8));
    if (!pix) {
        return pix;
    }
    const int resolution = qRound(page.dotsPerMeterX() * 0.0254);
    pixSetResolution(pix.get(), resolution, resolution);
    l_uint32* const data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    for (int y = 0; y < page.height(); ++y) {
        const uchar* source = page.constScanLine(y);
        l_uint32* line = data + y * wordsPerLine;
        for (int x = 0; x < page.width(); ++x) {
            SET_DATA_BYTE(line, x, source[x]);
        }
    }
    return pix;
}

// Paper tone, sensor grain and dust, in place on an 8-bit page.
void AddGrain(Pix* pix, const ScanFlaws& flaws, std::mt19937& random) {
    // The distribution needs a spread above zero, so a clean scanner draws nothing.
    std::normal_distribution<float> grain(0.0F, static_cast<float>(std::max(flaws.noise, 1)));
    const bool grainy = flaws.noise > 0;
    l_uint32* const data = pixGetData(pix);
    const int wordsPerLine = pixGetWpl(pix);
    const int width = pixGetWidth(pix);
    const int height = pixGetHeight(pix);
    for (int y = 0; y < height; ++y) {
        l_uint32* line = data + y * wordsPerLine;
        for (int x = 0; x < width; ++x) {
            const int ink = 255 - static_cast<int>(GET_DATA_BYTE(line, x));
            const float value =
                static_cast<float>(kPaperGrey - ink) + (grainy ? grain(random) : 0.0F);
            SET_DATA_BYTE(line, x, std::clamp(static_cast<int>(value), 0, 255));
        }
    }
    std::uniform_int_distribution<int> across(0, width - 4);
    std::uniform_int_distribution<int> down(0, height - 4);
    std::uniform_int_distribution<int> size(1, 3);
    for (int speck = 0; speck < flaws.specks; ++speck) {
        pixRasterop(pix, across(random), down(random), size(random), size(random), PIX_CLR, nullptr,
                    0, 0);
    }
}

PixPtr ScanOf(const QImage& page, int number, const ScanFlaws& flaws, std::mt19937& random) {
    PixPtr pix = GreyPixOf(page);
    if (pix && number == flaws.upsideDownPage) {
        pix.reset(pixRotate180(nullptr, pix.get()));
    }
    if (pix && flaws.skewDegrees != 0) {
        const float radians = static_cast<float>(flaws.skewDegrees * std::numbers::pi / 180);
        pix.reset(pixRotate(pix.get(), radians, L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0));
    }
    if (!pix) {
        return pix;
    }
    AddGrain(pix.get(), flaws, random);
    if (flaws.blackAndWhite) {
        pix.reset(pixThresholdToBinary(pix.get(), kTextThreshold));
    }
    return pix;
}

bool IsPdfName(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".pdf") == 0;
}

}  // namespace

bool WriteScannedCopy(const std::string& path, const std::vector<QImage>& pages,
                      const ScanFlaws& flaws) {
    const std::string name = std::filesystem::path(path).filename().string();
    std::seed_seq seed(name.begin(), name.end());
    std::mt19937 random(seed);
    PixaPtr scans(pixaCreate(static_cast<l_int32>(pages.size())));
    for (std::size_t index = 0; index < pages.size(); ++index) {
        PixPtr scan = ScanOf(pages[index], static_cast<int>(index) + 1, flaws, random);
        if (!scan || pixaAddPix(scans.get(), scan.release(), L_INSERT) != 0) {
            return false;
        }
    }
    if (IsPdfName(path)) {
        const l_int32 encoding = flaws.blackAndWhite ? L_G4_ENCODE : L_JPEG_ENCODE;
        return pixaConvertToPdf(scans.get(), 0, 1.0F, encoding, kJpegQuality, nullptr,
                                path.c_str()) == 0;
    }
    const l_int32 compression = flaws.blackAndWhite ? IFF_TIFF_G4 : IFF_TIFF_JPEG;
    for (l_int32 index = 0; index < pixaGetCount(scans.get()); ++index) {
        PixPtr scan(pixaGetPix(scans.get(), index, L_CLONE));
        if (pixWriteTiff(path.c_str(), scan.get(), compression, index == 0 ? "w" : "a") != 0) {
            return false;
        }
    }
    return true;
}

bool CutOff(const std::string& path, double keptShare) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) {
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size * keptShare), error);
    }
    return !error;
}

}  // namespace quillrun::demo
