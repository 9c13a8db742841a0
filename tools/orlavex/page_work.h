#pragma once

#include <string>

#include "conversion.h"
#include "document_writer.h"
#include "image_work.h"
#include "options.h"

namespace orlavex {

struct PageImage;

// What is done to each image and to the document for it: the image is cleaned up, turned upright
// or split into its two pages, and each page is recognised and added to the document with its
// statistics line and progress line.
class PageWork final : public ImageWork {
  public:
    explicit PageWork(const Options& options);

    // Starts the document; false with error set when it cannot be created. dataPath is the
    // engines' recognition data folder, which holds the font of the text layer.
    bool open(const std::string& dataPath, std::string& error);

    Outcome convertImage(PageReader& reader, SourceImage& image, int index, ImageTurn& turn,
                         std::string& error) override;

    // Completes the document and puts it and the statistics file in place.
    Outcome complete(std::string& error);

  private:
    Outcome addPage(PageReader& reader, PageImage& page, int quarterTurns, int pageNumber,
                    ImageTurn& turn, std::string& error);

    const Options& m_options;
    DocumentWriter m_writer;
    // Added to only by the image whose turn it is.
    std::string m_statistics;
};

}  // namespace orlavex
