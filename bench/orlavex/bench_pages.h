#pragma once

#include <string>

#include "orlavex/test_pages.h"

namespace orlavex::bench {

// A letter-size page of running text, 44 lines of 12 points, as a 1-bit scan at 300 dpi; seed
// picks where the text starts, so that pages differ.
test::PixPtr LetterPage(int seed);

// count letter pages in one TIFF file, made one at a time so that this process stays small.
void WriteLetterPages(const std::string& path, int count);

// A PDF page as an office scanner delivers it at 300 dpi: grey or on cream paper in colour,
// slightly soft, with sensor noise, and the paper clipped to white as scanners do.
test::PixPtr GreyScan(Pix* rendering, unsigned seed);
test::PixPtr ColourScan(Pix* rendering, unsigned seed);

}  // namespace orlavex::bench
