#include "bench_pages.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace orlavex::bench {

test::PixPtr LetterPage(int seed) {
    static const test::Lines sentences{
        "The archive keeps the minutes of every council meeting since 1921,",
        "bound in volumes of four hundred pages with a typed index at the end.",
        "Each volume was scanned in black and white at three hundred dots",
        "per inch, and the clerks now want to search the text for names.",
        "Some pages carry stamps, handwritten notes and the odd coffee ring;",
        "others are faint carbon copies that were typed in a hurry.",
        "The budget for 1957 lists 14 roads, 3 bridges and 212 street lamps.",
        "Members asked whether the new library could open on Saturdays,",
        "and the treasurer promised an answer at the following meeting.",
        "A letter from the harbour master complains about the fog signal,",
        "which had failed twice in November and once again in December.",
    };
    test::Lines lines;
    for (int i = 0; i < 44; ++i) {
        lines.push_back(sentences[static_cast<std::size_t>(i + seed) % sentences.size()]);
    }
    return test::Binary(test::RenderPdfPage(test::MakeTextPdf({lines}, 8.5, 11.0)).get());
}

void WriteLetterPages(const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
        const test::PixPtr page = LetterPage(i);
        test::WriteTiff(path, {page.get()}, i > 0);
    }
}

namespace {

// The scanner's view of one grey value: a little noise, and everything near white made white.
int Sensed(double value, std::normal_distribution<double>& noise, std::mt19937& random) {
    const double sensed = value + noise(random);
    return sensed >= 240.0 ? 255 : static_cast<int>(std::clamp(std::lround(sensed), 0L, 255L));
}

test::PixPtr Softened(Pix* rendering) {
    const test::PixPtr grey(pixConvertTo8(rendering, 0));
    return test::PixPtr(pixBlockconv(grey.get(), 1, 1));
}

}  // namespace

test::PixPtr GreyScan(Pix* rendering, unsigned seed) {
    test::PixPtr scan = Softened(rendering);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 2.0);
    const int width = pixGetWidth(scan.get());
    const int height = pixGetHeight(scan.get());
    for (int y = 0; y < height; ++y) {
        l_uint32* line =
            pixGetData(scan.get()) + static_cast<std::ptrdiff_t>(y) * pixGetWpl(scan.get());
        for (int x = 0; x < width; ++x) {
            SET_DATA_BYTE(line, x, Sensed(GET_DATA_BYTE(line, x), noise, random));
        }
    }
    pixSetResolution(scan.get(), 300, 300);
    return scan;
}

test::PixPtr ColourScan(Pix* rendering, unsigned seed) {
    const test::PixPtr grey = Softened(rendering);
    const int width = pixGetWidth(grey.get());
    const int height = pixGetHeight(grey.get());
    test::PixPtr scan(pixCreate(width, height, 32));
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 2.0);
    constexpr double kPaper[] = {250.0, 244.0, 226.0};  // cream
    constexpr double kInk[] = {28.0, 32.0, 70.0};       // blue-black
    for (int y = 0; y < height; ++y) {
        const l_uint32* in =
            pixGetData(grey.get()) + static_cast<std::ptrdiff_t>(y) * pixGetWpl(grey.get());
        l_uint32* out =
            pixGetData(scan.get()) + static_cast<std::ptrdiff_t>(y) * pixGetWpl(scan.get());
        for (int x = 0; x < width; ++x) {
            const double paper = GET_DATA_BYTE(in, x) / 255.0;
            int channel[3];
            for (int c = 0; c < 3; ++c) {
                const double value = kInk[c] + (kPaper[c] - kInk[c]) * paper + noise(random);
                channel[c] = static_cast<int>(std::clamp(std::lround(value), 0L, 255L));
            }
            composeRGBPixel(channel[0], channel[1], channel[2], &out[x]);
        }
    }
    pixSetResolution(scan.get(), 300, 300);
    return scan;
}

}  // namespace orlavex::bench
