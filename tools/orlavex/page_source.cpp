#include "page_source.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace orlavex {

namespace {

constexpr int kRenderResolution = 300;
// A declared resolution outside this range is a scanner's placeholder, not a measurement.
constexpr int kLowestCredibleResolution = 70;
constexpr int kHighestCredibleResolution = 2400;
// Rendering a poster-sized PDF page at full resolution would take gigabytes; such pages are
// rendered at a lower resolution that keeps them within this many pixels.
constexpr double kMostRenderedPixels = 120e6;

// Brings every image to one of the depths the later steps handle (1, 8 or 32 bits per pixel,
// without colour map or alpha) and to square pixels, as fax pages (204 x 98 dpi) do not have.
bool NormalizeImage(SourceImage& image) {
    if (!image.pix) {
        return false;
    }
    if (pixGetColormap(image.pix.get()) != nullptr) {
        image.pix.reset(pixRemoveColormap(image.pix.get(), REMOVE_CMAP_BASED_ON_SRC));
        if (!image.pix) {
            return false;
        }
    }
    switch (pixGetDepth(image.pix.get())) {
        case 1:
        case 8:
            break;
        case 2:
        case 4:
            image.pix.reset(pixConvertTo8(image.pix.get(), 0));
            break;
        case 16:
            image.pix.reset(pixConvert16To8(image.pix.get(), L_MS_BYTE));
            break;
        case 24:
            image.pix.reset(pixConvert24To32(image.pix.get()));
            break;
        case 32:
            if (pixGetSpp(image.pix.get()) == 4) {
                image.pix.reset(pixAlphaBlendUniform(image.pix.get(), 0xffffff00));
            }
            break;
        default:
            return false;
    }
    if (!image.pix) {
        return false;
    }

    int xResolution = pixGetXRes(image.pix.get());
    int yResolution = pixGetYRes(image.pix.get());
    if (yResolution <= 0) {
        yResolution = xResolution;
    }
    if (xResolution < kLowestCredibleResolution || xResolution > kHighestCredibleResolution ||
        yResolution < kLowestCredibleResolution || yResolution > kHighestCredibleResolution) {
        xResolution = yResolution = kRenderResolution;
    }
    if (xResolution != yResolution) {
        const int finer = std::max(xResolution, yResolution);
        const float scaleX = static_cast<float>(finer) / static_cast<float>(xResolution);
        const float scaleY = static_cast<float>(finer) / static_cast<float>(yResolution);
        image.pix.reset(pixScale(image.pix.get(), scaleX, scaleY));
        if (!image.pix) {
            return false;
        }
        xResolution = finer;
    }
    image.resolution = xResolution;
    pixSetResolution(image.pix.get(), xResolution, xResolution);
    return true;
}

NextImage Deliver(SourceImage& image, std::string& error, const std::string& what) {
    if (!NormalizeImage(image)) {
        error = what + " has a pixel format that cannot be read";
        return NextImage::Failed;
    }
    return NextImage::Image;
}

class TiffSource : public PageSource {
  public:
    explicit TiffSource(std::string path) : m_path(std::move(path)) {}

    NextImage next(SourceImage& image, std::string& error) override {
        if (m_finished) {
            return NextImage::End;
        }
        ++m_page;
        // Each call opens the file afresh at the remembered directory, so only one page is in
        // memory at a time, however long the file is.
        image.pix.reset(pixReadFromMultipageTiff(m_path.c_str(), &m_offset));
        if (!image.pix) {
            error = "page " + std::to_string(m_page) + " of the TIFF file cannot be read";
            return NextImage::Failed;
        }
        m_finished = m_offset == 0;
        return Deliver(image, error, "page " + std::to_string(m_page) + " of the TIFF file");
    }

    int imageCount() const override {
        const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(m_path.c_str(), "rb"),
                                                         std::fclose);
        l_int32 count = 0;
        return file && tiffGetCount(file.get(), &count) == 0 ? count : 0;
    }

  private:
    std::string m_path;
    std::size_t m_offset = 0;
    int m_page = 0;
    bool m_finished = false;
};

// A JPEG file of grey or RGB samples goes into a PDF as it is; CMYK and YCCK ones would need
// a decode array that the renderer does not write.
bool IsKeepableJpeg(const std::string& path) {
    l_int32 format = IFF_UNKNOWN;
    l_int32 samples = 0;
    l_int32 ycck = 0;
    l_int32 cmyk = 0;
    return findFileFormat(path.c_str(), &format) == 0 && format == IFF_JFIF_JPEG &&
           readHeaderJpeg(path.c_str(), nullptr, nullptr, &samples, &ycck, &cmyk) == 0 &&
           (samples == 1 || samples == 3) && ycck == 0 && cmyk == 0;
}

class SingleImageSource : public PageSource {
  public:
    explicit SingleImageSource(std::string path) : m_path(std::move(path)) {}

    NextImage next(SourceImage& image, std::string& error) override {
        if (m_delivered) {
            return NextImage::End;
        }
        m_delivered = true;
        image.pix.reset(pixRead(m_path.c_str()));
        if (!image.pix) {
            error = "the image cannot be read";
            return NextImage::Failed;
        }
        const int width = pixGetWidth(image.pix.get());
        const int height = pixGetHeight(image.pix.get());
        const NextImage next = Deliver(image, error, "the image");
        if (next == NextImage::Image && IsKeepableJpeg(m_path) &&
            pixGetWidth(image.pix.get()) == width && pixGetHeight(image.pix.get()) == height) {
            image.originalFile = m_path;
        }
        return next;
    }

    int imageCount() const override { return 1; }

  private:
    std::string m_path;
    bool m_delivered = false;
};

// Poppler renders 0xAARRGGBB words on opaque white paper; a page with no colour becomes an
// 8-bit image, which keeps the document small.
PixPtr PixFromRendering(const poppler::image& rendering) {
    const int width = rendering.width();
    const int height = rendering.height();
    const int stride = rendering.bytes_per_row();
    const char* data = rendering.const_data();
    auto wordAt = [&](int x, int y) {
        std::uint32_t word = 0;
        std::memcpy(&word, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, sizeof word);
        return word;
    };
    bool grey = true;
    for (int y = 0; y < height && grey; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = wordAt(x, y);
            if (((word >> 16) & 0xff) != (word & 0xff) || ((word >> 8) & 0xff) != (word & 0xff)) {
                grey = false;
                break;
            }
        }
    }
    PixPtr pix(pixCreate(width, height, grey ? 8 : 32));
    if (!pix) {
        return pix;
    }
    l_uint32* rows = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    for (int y = 0; y < height; ++y) {
        l_uint32* line = rows + static_cast<std::ptrdiff_t>(y) * wordsPerLine;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = wordAt(x, y);
            const auto red = static_cast<l_int32>((word >> 16) & 0xff);
            const auto green = static_cast<l_int32>((word >> 8) & 0xff);
            const auto blue = static_cast<l_int32>(word & 0xff);
            if (grey) {
                SET_DATA_BYTE(line, x, blue);
            } else {
                l_uint32 pixel = 0;
                composeRGBPixel(red, green, blue, &pixel);
                line[x] = pixel;
            }
        }
    }
    return pix;
}

class PdfSource : public PageSource {
  public:
    explicit PdfSource(std::unique_ptr<poppler::document> document)
        : m_document(std::move(document)), m_pageCount(m_document->pages()) {
        m_renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
        m_renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
        m_renderer.set_image_format(poppler::image::format_argb32);
        m_renderer.set_paper_color(0xffffffff);
    }

    NextImage next(SourceImage& image, std::string& error) override {
        if (m_page >= m_pageCount) {
            return NextImage::End;
        }
        const int number = ++m_page;
        const std::unique_ptr<poppler::page> page(m_document->create_page(number - 1));
        if (!page) {
            error = "page " + std::to_string(number) + " of the PDF file is damaged";
            return NextImage::Failed;
        }
        const poppler::rectf box = page->page_rect();
        const double pixels =
            box.width() * box.height() * kRenderResolution * kRenderResolution / (72.0 * 72.0);
        int resolution = kRenderResolution;
        if (pixels > kMostRenderedPixels) {
            resolution = std::max(
                1, static_cast<int>(kRenderResolution * std::sqrt(kMostRenderedPixels / pixels)));
        }
        const poppler::image rendering = m_renderer.render_page(page.get(), resolution, resolution);
        if (!rendering.is_valid() || rendering.format() != poppler::image::format_argb32) {
            error = "page " + std::to_string(number) + " of the PDF file cannot be rendered";
            return NextImage::Failed;
        }
        image.pix = PixFromRendering(rendering);
        if (!image.pix) {
            error = "page " + std::to_string(number) + " of the PDF file is too large";
            return NextImage::Failed;
        }
        pixSetResolution(image.pix.get(), resolution, resolution);
        return Deliver(image, error, "page " + std::to_string(number) + " of the PDF file");
    }

    int imageCount() const override { return m_pageCount; }

  private:
    std::unique_ptr<poppler::document> m_document;
    poppler::page_renderer m_renderer;
    int m_pageCount = 0;
    int m_page = 0;
};

std::string FirstBytes(const std::string& path, std::size_t count) {
    std::ifstream file(path, std::ios::binary);
    std::string head(count, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return head;
}

bool StartsLikePdf(const std::string& head) {
    // Readers accept the header anywhere in the first kilobyte, and so do the files in the wild.
    return head.find("%PDF-") != std::string::npos;
}

// Classic and big TIFF, in either byte order. Recognised here rather than by Leptonica, which
// gives up on a damaged TIFF before saying what kind of file it is.
bool StartsLikeTiff(const std::string& head) {
    return head.starts_with(std::string("II*\0", 4)) || head.starts_with(std::string("MM\0*", 4)) ||
           head.starts_with(std::string("II+\0", 4)) || head.starts_with(std::string("MM\0+", 4));
}

std::unique_ptr<PageSource> OpenPdf(const std::string& path, std::string& error) {
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
    if (!document) {
        error = "the PDF file is damaged";
        return nullptr;
    }
    if (document->is_locked()) {
        error = "the PDF file is locked with a password";
        return nullptr;
    }
    if (document->pages() <= 0) {
        error = "the PDF file holds no pages";
        return nullptr;
    }
    return std::make_unique<PdfSource>(std::move(document));
}

void DiscardMessage(const std::string& /*message*/, void* /*closure*/) {}

}  // namespace

std::unique_ptr<PageSource> OpenPageSource(const std::string& path, std::string& error) {
    const std::string head = FirstBytes(path, 1024);
    if (StartsLikePdf(head)) {
        return OpenPdf(path, error);
    }
    if (StartsLikeTiff(head)) {
        return std::make_unique<TiffSource>(path);
    }
    l_int32 format = IFF_UNKNOWN;
    if (findFileFormat(path.c_str(), &format) != 0 || format == IFF_UNKNOWN ||
        L_FORMAT_IS_TIFF(format)) {
        error = "the file is neither a TIFF or PDF file nor another image";
        return nullptr;
    }
    return std::make_unique<SingleImageSource>(path);
}

void SilenceLibraryMessages() {
    setMsgSeverity(L_SEVERITY_NONE);
    poppler::set_debug_error_function(DiscardMessage, nullptr);
}

}  // namespace orlavex
