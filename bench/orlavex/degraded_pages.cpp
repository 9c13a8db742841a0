#include "degraded_pages.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace orlavex::bench {

namespace {

using test::PixPtr;

// Sizes below are for 300 dpi and scale with the resolution.
int Scaled(double pixelsAt300, int resolution) {
    return std::max(1, static_cast<int>(std::lround(pixelsAt300 * resolution / 300.0)));
}

PixPtr WithResolution(PixPtr pix, int resolution) {
    pixSetResolution(pix.get(), resolution, resolution);
    return pix;
}

// Sensor noise: every grey value moved by a normal deviate. Leptonica's own noise draws from
// rand(), whose sequence is neither fixed across threads nor across libraries.
PixPtr Noisy(Pix* grey, double deviation, std::mt19937& random) {
    PixPtr noisy(pixCopy(nullptr, grey));
    std::normal_distribution<double> noise(0.0, deviation);
    const int width = pixGetWidth(noisy.get());
    const int height = pixGetHeight(noisy.get());
    const int wordsPerLine = pixGetWpl(noisy.get());
    l_uint32* data = pixGetData(noisy.get());
    for (int y = 0; y < height; ++y) {
        l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wordsPerLine;
        for (int x = 0; x < width; ++x) {
            const double value = GET_DATA_BYTE(line, x) + noise(random);
            SET_DATA_BYTE(line, x, static_cast<int>(std::clamp(std::lround(value), 0L, 255L)));
        }
    }
    return noisy;
}

// Scanned at a fraction of the resolution, with noise, and enlarged again: a copy of a copy.
PixPtr PoorCopy(Pix* grey, float fraction, double deviation, std::mt19937& random) {
    const PixPtr small(pixScale(grey, fraction, fraction));
    const PixPtr noisy = Noisy(small.get(), deviation, random);
    PixPtr large(pixScaleToSize(noisy.get(), pixGetWidth(grey), pixGetHeight(grey)));
    return large;
}

PixPtr BlackAndWhite(Pix* grey) {
    return PixPtr(pixThresholdToBinary(grey, 128));
}

PixPtr Turned(Pix* grey, int quarterTurns, std::mt19937& random) {
    const PixPtr turned(pixRotateOrth(grey, quarterTurns));
    return Noisy(turned.get(), 8.0, random);
}

PixPtr Clean(Pix* grey, int resolution, std::uint32_t /*seed*/) {
    return WithResolution(PixPtr(pixCopy(nullptr, grey)), resolution);
}

PixPtr CleanBlackAndWhite(Pix* grey, int resolution, std::uint32_t /*seed*/) {
    return WithResolution(BlackAndWhite(grey), resolution);
}

// Dust and toner: dots of one to three pixels at 300 dpi, one to every 2500 square pixels.
PixPtr Speckled(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    PixPtr page = BlackAndWhite(grey);
    const int width = pixGetWidth(page.get());
    const int height = pixGetHeight(page.get());
    const int largest = Scaled(3, resolution);
    const double scale = resolution / 300.0;
    const auto count = static_cast<long>(width * height / (2500.0 * scale * scale));
    for (long i = 0; i < count; ++i) {
        const int size = 1 + static_cast<int>(random() % static_cast<unsigned>(largest));
        const int x = static_cast<int>(random() % static_cast<unsigned>(width - size));
        const int y = static_cast<int>(random() % static_cast<unsigned>(height - size));
        pixRasterop(page.get(), x, y, size, size, PIX_SET, nullptr, 0, 0);
    }
    return WithResolution(std::move(page), resolution);
}

PixPtr Skewed(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    const double degrees = random() % 2 == 0 ? 3.0 : -3.0;
    const auto radians = static_cast<float>(degrees * std::numbers::pi / 180.0);
    const PixPtr turned(pixRotate(grey, radians, L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0));
    return WithResolution(Noisy(turned.get(), 8.0, random), resolution);
}

PixPtr UpsideDown(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    return WithResolution(Turned(grey, 2, random), resolution);
}

PixPtr Sideways(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    const int quarterTurns = random() % 2 == 0 ? 1 : 3;
    return WithResolution(Turned(grey, quarterTurns, random), resolution);
}

PixPtr BlurredNoisy(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    const PixPtr blurred(pixBlockconv(grey, Scaled(1, resolution), Scaled(1, resolution)));
    return WithResolution(Noisy(blurred.get(), 20.0, random), resolution);
}

// Copies whose detail is that of a scan at this many dots per inch, whatever the resolution.
PixPtr CopyAt150Dpi(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    return WithResolution(PoorCopy(grey, 150.0F / resolution, 25.0, random), resolution);
}

PixPtr CopyAt120Dpi(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    return WithResolution(PoorCopy(grey, 120.0F / resolution, 35.0, random), resolution);
}

// A faint carbon copy: the ink at half its strength, on grainy paper.
PixPtr Faded(Pix* grey, int resolution, std::uint32_t seed) {
    std::mt19937 random(seed);
    PixPtr faded(pixCopy(nullptr, grey));
    const int width = pixGetWidth(faded.get());
    const int height = pixGetHeight(faded.get());
    const int wordsPerLine = pixGetWpl(faded.get());
    l_uint32* data = pixGetData(faded.get());
    for (int y = 0; y < height; ++y) {
        l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wordsPerLine;
        for (int x = 0; x < width; ++x) {
            SET_DATA_BYTE(line, x, 255 - (255 - static_cast<int>(GET_DATA_BYTE(line, x))) / 2);
        }
    }
    return WithResolution(Noisy(faded.get(), 15.0, random), resolution);
}

}  // namespace

const std::vector<Degradation>& Degradations() {
    static const std::vector<Degradation> kDegradations{
        {"clean grey", Clean},
        {"clean black and white", CleanBlackAndWhite},
        {"speckled", Speckled},
        {"skewed 3 degrees", Skewed},
        {"upside down", UpsideDown},
        {"sideways", Sideways},
        {"blurred, noise 20", BlurredNoisy},
        {"faded, noise 15", Faded},
        {"copy at 150 dpi, noise 25", CopyAt150Dpi},
        {"copy at 120 dpi, noise 35", CopyAt120Dpi},
    };
    return kDegradations;
}

std::uint32_t SeedOf(const std::string& text) {
    std::uint32_t hash = 2166136261U;  // FNV-1a
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    }
    return hash;
}

}  // namespace orlavex::bench
