#include "page_reader.h"

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include "cancellation.h"

namespace orlavex {

namespace {

// Asked by the engine after every word.
bool CancelRecognition(void* stopped, int /*words*/) {
    return CancellationRequested() ||
           (stopped != nullptr && static_cast<const std::atomic<bool>*>(stopped)->load());
}

}  // namespace

void ConfigureRecognitionLibrary(const Options& options) {
    if (options.quiet) {
        // A setting of the library, not of one engine: it holds for every engine started later.
        tesseract::TessBaseAPI settings;
        settings.SetVariable("debug_file", "/dev/null");
    }
}

PageReader::PageReader(const Options& options)
    : m_options(options), m_engine(std::make_unique<tesseract::TessBaseAPI>()) {}

PageReader::~PageReader() = default;

bool PageReader::start(bool soleEngine, std::string& error, std::string& warning) {
    if (m_engine->Init(nullptr, m_options.languages.c_str(), tesseract::OEM_DEFAULT) != 0) {
        error = "the recognition language " + m_options.languages + " is not installed";
        return false;
    }
    // The page layout is found automatically, as the tesseract command does by default.
    m_engine->SetPageSegMode(tesseract::PSM_AUTO);
    if (m_options.autoRotate && !m_orientation.start(m_engine->GetDatapath(), !soleEngine)) {
        warning = "the orientation model is not installed; pages are not turned upright";
    }
    return true;
}

int PageReader::quarterTurnsOfSpread(const PageImage& spread) {
    return m_orientation.quarterTurnsToUpright(spread.binary.get(), spread.resolution,
                                               kUnpromptedOrientationMargin);
}

// Most pages arrive upright, so a page is recognised as it lies first; only when the result runs
// across the page or reads as nonsense is the orientation model asked, and the page turned and
// read again. Upright pages thus cost nothing extra.
Outcome PageReader::read(PageImage& page, int pageNumber, bool mayTurn, int& quarterTurns,
                         std::string& error) {
    const Outcome outcome = recognise(page, pageNumber, error);
    if (outcome != Outcome::Written || !mayTurn || !RecognitionSuggestsTurnedPage(*m_engine)) {
        return outcome;
    }
    return turnUpright(page, pageNumber, quarterTurns, error);
}

// Asks the orientation model, turns the page and reads it again. A turn that reads worse than the
// page as it lay is taken back, so a doubtful verdict on a poor page does no harm.
Outcome PageReader::turnUpright(PageImage& page, int pageNumber, int& quarterTurns,
                                std::string& error) {
    const int turns = m_orientation.quarterTurnsToUpright(page.binary.get(), page.resolution,
                                                          kPromptedOrientationMargin);
    if (turns == 0) {
        return Outcome::Written;
    }
    const int confidenceAsItLay = m_engine->MeanTextConf();
    if (!RotateQuarterTurns(page, turns)) {
        error = "page " + std::to_string(pageNumber) + " cannot be turned";
        return Outcome::Failed;
    }
    const Outcome outcome = recognise(page, pageNumber, error);
    if (outcome != Outcome::Written || m_engine->MeanTextConf() >= confidenceAsItLay) {
        quarterTurns = (quarterTurns + turns) % 4;
        return outcome;
    }
    // Quarter turns lose nothing, so turning back restores the page exactly.
    if (!RotateQuarterTurns(page, 4 - turns)) {
        error = "page " + std::to_string(pageNumber) + " cannot be turned";
        return Outcome::Failed;
    }
    return recognise(page, pageNumber, error);
}

// Straightens the page and recognises it; the results stay in the engine.
Outcome PageReader::recognise(PageImage& page, int pageNumber, std::string& error) {
    if (m_options.deskew) {
        Straighten(page);
    }
    if (CancellationRequested()) {
        return Outcome::Cancelled;
    }
    m_engine->SetImage(page.pix.get());
    m_engine->SetSourceResolution(page.resolution);
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = CancelRecognition;
    monitor.cancel_this = m_stopped;
    const int recognised = m_engine->Recognize(&monitor);
    if (CancellationRequested()) {
        return Outcome::Cancelled;
    }
    if (m_stopped != nullptr && m_stopped->load()) {
        return Outcome::Failed;  // the conversion stopped for a reason given elsewhere
    }
    if (recognised != 0) {
        error = "page " + std::to_string(pageNumber) + " cannot be recognised";
        return Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace orlavex
