#pragma once

#include <string>
#include <utility>

#include "pix_handle.h"

namespace orlavex {

// A page on its way to recognition: the image as it will appear in the document, and a
// black-and-white copy (black = 1) that the clean-up steps measure on. Both stay the same size.
struct PageImage {
    PixPtr pix;
    PixPtr binary;
    int resolution = 300;
    // The input file whose encoding the document can keep, as long as no step has changed a
    // pixel; empty otherwise.
    std::string originalFile;
};

// Makes the black-and-white copy of pix with one Otsu threshold for the whole page.
PixPtr Binarize(Pix* pix);

// The steps every image of the input takes before anything else: its black-and-white copy, then,
// when despeckle is set, the specks removed. False when the image cannot be processed.
bool PrepareImage(PageImage& page, bool despeckle);

// Turns both images clockwise by quarterTurns times 90 degrees.
bool RotateQuarterTurns(PageImage& page, int quarterTurns);

// Splits a two-page spread at its gutter, the emptiest column near the middle.
bool SplitSpread(PageImage& spread, PageImage& left, PageImage& right);

// Removes specks: dark components too small to be any mark of text at this resolution. Returns
// how many were removed.
int RemoveSpecks(PageImage& page);

// Measures the skew of the text lines and turns the page straight; returns the angle turned in
// degrees (0 when the measurement is too uncertain or the skew too small to matter).
float Straighten(PageImage& page);

}  // namespace orlavex
