#pragma once

#include <string>

#include "conversion.h"

namespace orlavex {

class PageReader;
struct SourceImage;

// What the work on one image asks of whoever runs it, so that pages may be recognised side by
// side yet enter the document in order.
class ImageTurn {
  public:
    virtual ~ImageTurn() = default;

    // Called before a page is recognised: waits for a free processor unless the image holds one
    // already. False when the conversion stopped meanwhile.
    virtual bool claimProcessor() = 0;

    // Called before a page is added to the document: gives the processor up and waits until every
    // earlier image is in the document. False when the conversion stopped meanwhile.
    virtual bool awaitTurn() = 0;
};

// Everything done to one image of the input and to the document for it. Images are handed over
// in order, some of them at once; whatever they share may be touched only after awaitTurn().
class ImageWork {
  public:
    virtual ~ImageWork() = default;

    // index counts the input's images from 0. Written when the image's pages are in the
    // document; otherwise error says why (empty when the turn was refused because the conversion
    // stopped for a reason reported elsewhere).
    virtual Outcome convertImage(PageReader& reader, SourceImage& image, int index, ImageTurn& turn,
                                 std::string& error) = 0;
};

}  // namespace orlavex
