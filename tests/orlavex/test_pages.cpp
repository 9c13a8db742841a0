#include "orlavex/test_pages.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <stdexcept>

namespace orlavex::test {

const Lines& FoxText() {
    static const Lines lines{
        "The quick brown fox jumps over the lazy dog near the river.",
        "Scanned pages become searchable documents within minutes.",
        "Every page is recognised and its statistics are written.",
        "Proofreaders review the pages with a low confidence figure.",
        "Numbers such as 1234 and 5678 appear in the text as well.",
    };
    return lines;
}

const Lines& HarbourText() {
    static const Lines lines{
        "A small harbour town keeps its records in wooden boxes.",
        "Each winter the clerks copy the old ledgers by hand again.",
        "Fishing boats leave at dawn and return before the evening.",
        "The lighthouse keeper writes the weather into his journal.",
        "Visitors buy postcards, maps and tickets for the ferry.",
    };
    return lines;
}

const Lines& LedgerText() {
    static const Lines lines{
        "Invoice 2041 was paid in March.",
        "The balance carried forward is low.",
        "Wages rose by four percent this year.",
        "Rent and heating are listed below.",
    };
    return lines;
}

const Lines& OrchardText() {
    static const Lines lines{
        "Apple trees bloom early in May.",
        "Pears ripen slowly in the shade.",
        "The cider press stands by the barn.",
        "Bees visit every flower twice.",
    };
    return lines;
}

namespace {

std::string PdfString(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    return "(" + escaped + ")";
}

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

// Objects 1 and 2 are the catalogue and page tree, 3 the font; each page takes two objects.
std::string BuildPdf(const std::vector<Lines>& pages, double widthInches, double heightInches,
                     const std::string& extraTrailer, const std::string& extraObject) {
    const double width = widthInches * 72.0;
    const double height = heightInches * 72.0;
    std::vector<std::string> objects;
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kids += std::to_string(4 + 2 * i) + " 0 R ";
    }
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " +
                      std::to_string(pages.size()) + " >>");
    objects.push_back(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::string content = "BT /F1 12 Tf 16 TL 36 " + Number(height - 40.0) + " Td\n";
        for (const std::string& line : pages[i]) {
            content += PdfString(line) + " Tj T*\n";
        }
        content += "ET\n";
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(width) + " " +
                          Number(height) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
                          std::to_string(5 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                          content + "endstream");
    }
    if (!extraObject.empty()) {
        objects.push_back(extraObject);
    }
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " +
           extraTrailer + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace

std::string MakeTextPdf(const std::vector<Lines>& pages, double widthInches, double heightInches) {
    return BuildPdf(pages, widthInches, heightInches, "", "");
}

std::string MakeLockedPdf(const Lines& lines) {
    const std::string key(64, 'A');
    const std::string encryption =
        "<< /Filter /Standard /V 1 /R 2 /O <" + key + "> /U <" + key + "> /P -3904 >>";
    // The encryption dictionary is the object after the page's two.
    return BuildPdf({lines}, 6.0, 2.2,
                    "/Encrypt 6 0 R /ID [<0123456789ABCDEF0123456789ABCDEF> "
                    "<0123456789ABCDEF0123456789ABCDEF>] ",
                    encryption);
}

PixPtr RenderPdfPage(const std::string& pdfBytes, int resolution, int page) {
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(pdfBytes.data(), static_cast<int>(pdfBytes.size())));
    if (!document || document->is_locked()) {
        throw std::runtime_error("the generated PDF does not open");
    }
    const std::unique_ptr<poppler::page> pdfPage(document->create_page(page));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_gray8);
    const poppler::image image = renderer.render_page(pdfPage.get(), resolution, resolution);
    if (!image.is_valid() || image.format() != poppler::image::format_gray8) {
        throw std::runtime_error("the generated PDF does not render");
    }
    PixPtr pix(pixCreate(image.width(), image.height(), 8));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(image.const_data()) +
                          static_cast<std::ptrdiff_t>(y) * image.bytes_per_row();
        for (int x = 0; x < image.width(); ++x) {
            pixSetPixel(pix.get(), x, y, row[x]);
        }
    }
    pixSetResolution(pix.get(), resolution, resolution);
    return pix;
}

PixPtr Binary(Pix* page) {
    PixPtr binary(pixGetDepth(page) == 1 ? pixCopy(nullptr, page) : pixConvertTo1(page, 128));
    pixSetResolution(binary.get(), 300, 300);
    return binary;
}

PixPtr GreyScanOf(const Lines& lines) {
    return RenderPdfPage(MakeTextPdf({lines}, lines.front().size() > 40 ? 6.0 : 4.0));
}

PixPtr ScanOf(const Lines& lines) {
    return Binary(GreyScanOf(lines).get());
}

PixPtr Turned(Pix* page, int quarterTurns) {
    return PixPtr(pixRotateOrth(page, quarterTurns));
}

PixPtr Skewed(Pix* page, float degrees) {
    const PixPtr grey(pixConvertTo8(page, 0));
    const auto radians = static_cast<float>(degrees * std::numbers::pi / 180.0);
    PixPtr turned(pixRotate(grey.get(), radians, L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0));
    pixSetResolution(turned.get(), 300, 300);
    return turned;
}

PixPtr Speckled(Pix* page, int speckCount) {
    PixPtr speckled(pixCopy(nullptr, page));
    std::mt19937 random(20261207);
    const int width = pixGetWidth(page);
    const int height = pixGetHeight(page);
    const l_uint32 ink = pixGetDepth(page) == 1 ? 1 : 0;
    for (int i = 0; i < speckCount; ++i) {
        const int size = 1 + static_cast<int>(random() % 3);
        const int x = static_cast<int>(random() % static_cast<unsigned>(width - size));
        const int y = static_cast<int>(random() % static_cast<unsigned>(height - size));
        for (int dy = 0; dy < size; ++dy) {
            for (int dx = 0; dx < size; ++dx) {
                pixSetPixel(speckled.get(), x + dx, y + dy, ink);
            }
        }
    }
    return speckled;
}

PixPtr Spread(Pix* left, Pix* right) {
    const int width = pixGetWidth(left) + pixGetWidth(right);
    const int height = std::max(pixGetHeight(left), pixGetHeight(right));
    PixPtr spread(pixCreate(width, height, pixGetDepth(left)));
    if (pixGetDepth(left) != 1) {
        pixSetAll(spread.get());
    }
    pixRasterop(spread.get(), 0, 0, pixGetWidth(left), pixGetHeight(left), PIX_SRC, left, 0, 0);
    pixRasterop(spread.get(), pixGetWidth(left), 0, pixGetWidth(right), pixGetHeight(right),
                PIX_SRC, right, 0, 0);
    pixSetResolution(spread.get(), 300, 300);
    return spread;
}

PixPtr Degraded(Pix* page) {
    const PixPtr grey(pixConvertTo8(page, 0));
    const PixPtr small(pixScale(grey.get(), 0.34F, 0.34F));
    const PixPtr noisy(pixAddGaussianNoise(small.get(), 40.0F));
    PixPtr large(pixScale(noisy.get(), 1.0F / 0.34F, 1.0F / 0.34F));
    pixSetResolution(large.get(), 300, 300);
    return large;
}

void WriteTiff(const std::string& path, const std::vector<Pix*>& pages, bool append) {
    const char* mode = append ? "a" : "w";
    for (Pix* page : pages) {
        pixSetResolution(page, 300, 300);
        const int compression = pixGetDepth(page) == 1 ? IFF_TIFF_G4 : IFF_TIFF_ZIP;
        if (pixWriteTiff(path.c_str(), page, compression, mode) != 0) {
            throw std::runtime_error("cannot write " + path);
        }
        mode = "a";
    }
}

int CountSpecks(Pix* page) {
    const PixPtr binary = Binary(page);
    BOXA* boxes = pixConnComp(binary.get(), nullptr, 8);
    int specks = 0;
    for (int i = 0; i < boxaGetCount(boxes); ++i) {
        l_int32 x = 0;
        l_int32 y = 0;
        l_int32 w = 0;
        l_int32 h = 0;
        boxaGetBoxGeometry(boxes, i, &x, &y, &w, &h);
        if (w < 4 && h < 4) {
            ++specks;
        }
    }
    boxaDestroy(&boxes);
    return specks;
}

float MeasureSkew(Pix* page) {
    const PixPtr binary = Binary(page);
    l_float32 angle = 0.0F;
    l_float32 confidence = 0.0F;
    pixFindSkew(binary.get(), &angle, &confidence);
    return angle;
}

}  // namespace orlavex::test
