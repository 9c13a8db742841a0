#pragma once

#include <memory>
#include <string>

#include <leptonica/allheaders.h>

namespace tesseract {
class TessBaseAPI;
}

namespace orlavex {

// Finds which way up a page is, with Tesseract's orientation model ("osd"), which an engine of
// its own holds so that the recognition languages stay free to choose.
class OrientationDetector {
  public:
    OrientationDetector();
    ~OrientationDetector();
    OrientationDetector(const OrientationDetector&) = delete;
    OrientationDetector& operator=(const OrientationDetector&) = delete;

    // Finds the model in Tesseract's data folder; false when it is not installed. With loadNow
    // it is loaded at once, otherwise when a page first needs it: loading takes about a quarter
    // of a second, and most pages arrive upright.
    bool start(const std::string& dataPath, bool loadNow);

    // The clockwise quarter turns that bring the text upright: 0 when the page is upright, when
    // it holds too little text to tell, or when the model's margin for its verdict is below
    // leastMargin.
    int quarterTurnsToUpright(Pix* binary, int resolution, float leastMargin);

  private:
    bool load();

    std::string m_dataPath;
    bool m_installed = false;
    bool m_loadTried = false;
    std::unique_ptr<tesseract::TessBaseAPI> m_engine;
};

// The margin that Tesseract's own automatic orientation asks for (min_orientation_margin), for a
// page about which nothing else is known. Five clean lines of text score about 14.
inline constexpr float kUnpromptedOrientationMargin = 7.0F;
// Once the recognition itself suggests that the page is turned, a smaller margin will do: on
// noisy copies of four or five lines the model names the right turn with margins from 4.5 up.
inline constexpr float kPromptedOrientationMargin = 2.0F;

// Whether the page just recognised looks turned: its text lines run down rather than across
// the page, or the text reads as nonsense (a page upside down gives a mean word confidence
// far below that of even a poor upright page). A page without any text does not.
bool RecognitionSuggestsTurnedPage(tesseract::TessBaseAPI& engine);

}  // namespace orlavex
