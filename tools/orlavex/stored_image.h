#pragma once

#include <string>

#include "page_cleanup.h"
#include "platform/unique_fd.h"

namespace orlavex {

// The page image as the document stores it, without loss. Tesseract's PDF renderer takes an
// image's encoding from a file when it is named one: a JPEG file's bytes as they are, a PNG file's
// compressed rows with their predictors; left to itself it would store grey and colour pages as
// JPEG. So a page whose pixels are still those of a JPEG input names that file, and any other grey
// or colour page is written as a PNG into a file that lives in memory only, which nothing on disk
// can outlast. Black-and-white pages need no file: the renderer stores them as CCITT G4.
class StoredImage {
  public:
    // False with error set when the page image cannot be encoded.
    bool prepare(PageImage& page, std::string& error);

    // The file for the renderer to take the image from; null when it encodes the image itself.
    const char* fileName() const { return m_fileName.empty() ? nullptr : m_fileName.c_str(); }

  private:
    quillrun::platform::UniqueFd m_memoryFile;
    std::string m_fileName;
};

}  // namespace orlavex
