#pragma once

#include <leptonica/allheaders.h>

#include <memory>
#include <string>
#include <vector>

namespace orlavex::test {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

using Lines = std::vector<std::string>;

// Texts of the generated pages, distinct so that a page found in the wrong place shows.
const Lines& FoxText();
const Lines& HarbourText();
const Lines& LedgerText();
const Lines& OrchardText();

// A PDF file whose pages carry these lines in 12-point Helvetica, which Poppler draws with the
// DejaVu Sans face that Debian ships; width and height in inches.
std::string MakeTextPdf(const std::vector<Lines>& pages, double widthInches = 6.0,
                        double heightInches = 2.2);

// The same PDF with a standard security handler whose password nobody knows.
std::string MakeLockedPdf(const Lines& lines);

// The first page of a PDF file rendered in grey at this resolution.
PixPtr RenderPdfPage(const std::string& pdfBytes, int resolution = 300, int page = 0);

// Page images as a scanner would deliver them, all at 300 dpi.
PixPtr ScanOf(const Lines& lines);           // black and white
PixPtr GreyScanOf(const Lines& lines);       // 8-bit grey
PixPtr Turned(Pix* page, int quarterTurns);  // clockwise
PixPtr Skewed(Pix* page, float degrees);     // counter-clockwise, in grey
PixPtr Speckled(Pix* page, int speckCount);  // small dark dots scattered over the page
PixPtr Spread(Pix* left, Pix* right);        // two facing pages side by side
// A poor copy: scanned at a third of the resolution, noisy, then enlarged again.
PixPtr Degraded(Pix* page);
PixPtr Binary(Pix* page);

// Writes the pages as one TIFF file, one directory each; 1-bit pages with G4 compression. With
// append, the pages are added to the directories the file already holds.
void WriteTiff(const std::string& path, const std::vector<Pix*>& pages, bool append = false);

// Counts the dark components too small to belong to text (both sides under four pixels).
int CountSpecks(Pix* page);
// The skew of the text lines in degrees, as Leptonica measures it.
float MeasureSkew(Pix* page);

}  // namespace orlavex::test
