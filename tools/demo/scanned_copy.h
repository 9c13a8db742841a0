#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace quillrun::demo {

// How an office scanner spoils a page on its way into the drop folder.
struct ScanFlaws {
    bool blackAndWhite = false;  // thresholded as a document scanner's text mode does
    double skewDegrees = 0;      // counter-clockwise; laid in by hand, the page lies askew
    int noise = 0;               // standard deviation of the sensor's grain, in grey levels
    int specks = 0;              // dust on the glass, per page
    int upsideDownPage = 0;      // counted from 1; 0 when every page lies the right way up
};

// The pages as one scanned file, compressed as scanners compress them (G4 when black and white,
// JPEG otherwise): a TIFF file of one directory a page or, for a name ending in .pdf, an
// image-only PDF. Every flaw that looks random is drawn from a generator seeded by the file's name,
// so the same pages come out on every run. Returns false when the file cannot be written.
bool WriteScannedCopy(const std::string& path, const std::vector<QImage>& pages,
                      const ScanFlaws& flaws);

// Cuts a file off after this share of its bytes, as a transfer that broke off leaves it.
bool CutOff(const std::string& path, double keptShare);

}  // namespace quillrun::demo
