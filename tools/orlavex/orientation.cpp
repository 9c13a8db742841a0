#include "orientation.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <filesystem>
#include <system_error>

namespace orlavex {

namespace {

// Upright pages, even noisy copies of a third of the resolution, score 80 and more; pages upside
// down score below 40.
constexpr int kLeastUprightConfidence = 65;

}  // namespace

OrientationDetector::OrientationDetector() = default;
OrientationDetector::~OrientationDetector() = default;

bool OrientationDetector::start(const std::string& dataPath, bool loadNow) {
    m_dataPath = dataPath;
    std::error_code error;
    m_installed = std::filesystem::is_regular_file(
        std::filesystem::path(dataPath) / "osd.traineddata", error);
    return m_installed && (!loadNow || load());
}

// Tried once; a model that does not load leaves every page as it lies.
bool OrientationDetector::load() {
    if (m_loadTried) {
        return m_engine != nullptr;
    }
    m_loadTried = true;
    if (!m_installed) {
        return false;
    }
    m_engine = std::make_unique<tesseract::TessBaseAPI>();
    if (m_engine->Init(m_dataPath.empty() ? nullptr : m_dataPath.c_str(), "osd",
                       tesseract::OEM_TESSERACT_ONLY) != 0) {
        m_engine.reset();
        return false;
    }
    m_engine->SetPageSegMode(tesseract::PSM_OSD_ONLY);
    return true;
}

int OrientationDetector::quarterTurnsToUpright(Pix* binary, int resolution, float leastMargin) {
    if (!load()) {
        return 0;
    }
    m_engine->SetImage(binary);
    m_engine->SetSourceResolution(resolution);
    int degrees = 0;
    float confidence = 0.0F;
    const char* script = nullptr;
    float scriptConfidence = 0.0F;
    const bool found =
        m_engine->DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence);
    m_engine->Clear();
    if (!found || confidence < leastMargin) {
        return 0;
    }
    // Tesseract reports how far the page is turned clockwise; turning it on by the rest of a
    // full circle sets it upright.
    return ((360 - degrees) / 90) % 4;
}

bool RecognitionSuggestsTurnedPage(tesseract::TessBaseAPI& engine) {
    const std::unique_ptr<tesseract::ResultIterator> iterator(engine.GetIterator());
    if (!iterator || iterator->Empty(tesseract::RIL_TEXTLINE)) {
        return false;
    }
    long across = 0;
    long down = 0;
    do {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        if (iterator->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom)) {
            across += right - left;
            down += bottom - top;
        }
    } while (iterator->Next(tesseract::RIL_TEXTLINE));
    return down > across || engine.MeanTextConf() < kLeastUprightConfidence;
}

}  // namespace orlavex
