#include "orientation.h"

#include <tesseract/baseapi.h>

namespace orlavex {

namespace {

// The margin that Tesseract's own automatic orientation asks for (min_orientation_margin). Five
// lines of text already score about 14; a wrong quarter turn would ruin a page that might have
// been read as it was, so an uncertain verdict leaves the page alone.
constexpr float kLeastOrientationConfidence = 7.0F;

}  // namespace

OrientationDetector::OrientationDetector() = default;
OrientationDetector::~OrientationDetector() = default;

bool OrientationDetector::start(const std::string& dataPath) {
    m_engine = std::make_unique<tesseract::TessBaseAPI>();
    if (m_engine->Init(dataPath.empty() ? nullptr : dataPath.c_str(), "osd",
                       tesseract::OEM_TESSERACT_ONLY) != 0) {
        m_engine.reset();
        return false;
    }
    m_engine->SetPageSegMode(tesseract::PSM_OSD_ONLY);
    return true;
}

int OrientationDetector::quarterTurnsToUpright(Pix* binary, int resolution) {
    if (!m_engine) {
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
    if (!found || confidence < kLeastOrientationConfidence) {
        return 0;
    }
    // Tesseract reports how far the page is turned clockwise; turning it on by the rest of a
    // full circle sets it upright.
    return ((360 - degrees) / 90) % 4;
}

}  // namespace orlavex
