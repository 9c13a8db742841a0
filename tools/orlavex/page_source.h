#pragma once

#include <memory>
#include <string>

#include "pix_handle.h"

namespace orlavex {

// One image of the input: a TIFF directory, a rendered PDF page or a whole single image.
struct SourceImage {
    PixPtr pix;
    int resolution = 300;  // pixels per inch, the same across and down
    // Set when pix holds exactly the pixels of a JPEG file, whose encoding the document keeps.
    std::string originalFile;
};

enum class NextImage { Image, End, Failed };

// Hands out the input's images one at a time, so that memory does not grow with the page count.
class PageSource {
  public:
    virtual ~PageSource() = default;
    // On Failed, error says why in words fit for the user.
    virtual NextImage next(SourceImage& image, std::string& error) = 0;
    // How many images next() will hand out; 0 when that cannot be told in advance.
    virtual int imageCount() const = 0;
};

// Recognises the kind of input by its content, not its name: PDF, TIFF (one or more pages) or
// another image format that Leptonica reads. Null with error set when the file is unusable.
std::unique_ptr<PageSource> OpenPageSource(const std::string& path, std::string& error);

// Leptonica's and Poppler's own complaints go to standard error unless silenced.
void SilenceLibraryMessages();

}  // namespace orlavex
