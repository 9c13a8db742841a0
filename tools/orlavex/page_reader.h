#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "conversion.h"
#include "orientation.h"
#include "page_cleanup.h"

namespace tesseract {
class TessBaseAPI;
}

namespace orlavex {

// Recognises pages, one at a time, with an engine of its own: Tesseract's engines may work in
// parallel, one per thread, but one engine never serves two threads at once.
class PageReader {
  public:
    explicit PageReader(const Options& options);
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // Loads the recognition languages and, for auto-rotation, finds the orientation model. False
    // with error set when a language is not installed; warning is set when the orientation model
    // is missing, in which case pages are not turned. The sole engine of a conversion loads the
    // model only when a page needs it; engines that work side by side each load it here, so that
    // nothing is loaded while another engine reads a page.
    bool start(bool soleEngine, std::string& error, std::string& warning);

    // Straightens and recognises the page; when mayTurn, a page whose reading suggests that it
    // lies turned is turned upright and read again, and quarterTurns grows by the turn. The
    // results stay in engine() until the next page.
    Outcome read(PageImage& page, int pageNumber, bool mayTurn, int& quarterTurns,
                 std::string& error);

    // The clockwise quarter turns that bring a whole two-page spread upright.
    int quarterTurnsOfSpread(const PageImage& spread);

    tesseract::TessBaseAPI& engine() { return *m_engine; }

    // A flag that, once set, ends the recognition under way (another page of the document
    // failed); it must outlive the reader.
    void stopWhen(std::atomic<bool>* stopped) { m_stopped = stopped; }

  private:
    Outcome turnUpright(PageImage& page, int pageNumber, int& quarterTurns, std::string& error);
    Outcome recognise(PageImage& page, int pageNumber, std::string& error);

    const Options& m_options;
    std::unique_ptr<tesseract::TessBaseAPI> m_engine;
    OrientationDetector m_orientation;
    std::atomic<bool>* m_stopped = nullptr;
};

// Tesseract keeps a few settings, such as where its messages go, for all engines at once; they
// are set here once, before the first engine starts.
void ConfigureRecognitionLibrary(const Options& options);

}  // namespace orlavex
