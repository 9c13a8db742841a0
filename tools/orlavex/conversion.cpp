#include "conversion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cancellation.h"
#include "document_writer.h"
#include "orientation.h"
#include "page_cleanup.h"
#include "page_source.h"
#include "page_statistics.h"
#include "platform/file_system.h"
#include "platform/unique_fd.h"

namespace orlavex {

namespace {

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CheckInput(const Options& options, std::string& error) {
    const quillrun::platform::UniqueFd input(
        ::open(options.inputPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!input || ::fstat(input.get(), &status) != 0) {
        error = "cannot read the image " + options.inputPath + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "the image " + options.inputPath + " is not a file";
        return false;
    }
    // Writing over the image would destroy it before it was read, and -d would then delete
    // the document.
    if (IsSameFile(options.inputPath, options.outputPath)) {
        error = "the document would replace the image " + options.inputPath;
        return false;
    }
    if (!options.statisticsPath.empty() &&
        (IsSameFile(options.inputPath, options.statisticsPath) ||
         IsSameFile(options.outputPath, options.statisticsPath) ||
         options.statisticsPath == options.outputPath)) {
        error = "the statistics file would replace the image or the document";
        return false;
    }
    return true;
}

bool CancelRecognition(void* /*unused*/, int /*words*/) {
    return CancellationRequested();
}

class Converter {
  public:
    explicit Converter(const Options& options) : m_options(options) {}

    ConversionResult run() {
        ConversionResult result;
        result.outcome = convert(result.error);
        return result;
    }

  private:
    Outcome convert(std::string& error) {
        if (!CheckInput(m_options, error)) {
            return Outcome::Failed;
        }
        const std::unique_ptr<PageSource> source = OpenPageSource(m_options.inputPath, error);
        if (!source) {
            error = m_options.inputPath + ": " + error;
            return Outcome::Failed;
        }
        if (!startEngines(error)) {
            return Outcome::Failed;
        }
        // Starting the engines takes a moment; a Stop that came meanwhile creates no file.
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }
        DocumentWriter writer(m_options.outputPath);
        if (!writer.open(m_engine.GetDatapath(), error)) {
            return Outcome::Failed;
        }
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }

        SourceImage image;
        for (;;) {
            const NextImage next = source->next(image, error);
            if (CancellationRequested()) {
                return Outcome::Cancelled;
            }
            if (next == NextImage::End) {
                break;
            }
            if (next == NextImage::Failed) {
                error = m_options.inputPath + ": " + error;
                return Outcome::Failed;
            }
            const Outcome outcome = recogniseImage(image, writer, error);
            if (outcome != Outcome::Written) {
                return outcome;
            }
        }
        if (!writer.finish(error)) {
            return Outcome::Failed;
        }
        return putInPlace(writer, error);
    }

    bool startEngines(std::string& error) {
        if (m_options.quiet) {
            m_engine.SetVariable("debug_file", "/dev/null");
        }
        if (m_engine.Init(nullptr, m_options.languages.c_str(), tesseract::OEM_DEFAULT) != 0) {
            error = "the recognition language " + m_options.languages + " is not installed";
            return false;
        }
        // The page layout is found automatically, as the tesseract command does by default.
        m_engine.SetPageSegMode(tesseract::PSM_AUTO);
        if (m_options.autoRotate && !m_orientation.start(m_engine.GetDatapath())) {
            message("the orientation model is not installed; pages are not turned upright");
        }
        return true;
    }

    Outcome recogniseImage(SourceImage& image, DocumentWriter& writer, std::string& error) {
        PageImage whole;
        whole.resolution = image.resolution;
        whole.pix = std::move(image.pix);
        whole.binary = Binarize(whole.pix.get());
        if (!whole.binary) {
            error = "an image of " + m_options.inputPath + " cannot be processed";
            return Outcome::Failed;
        }
        if (m_options.despeckle) {
            RemoveSpecks(whole);
        }
        if (!m_options.twoPage) {
            return recognisePage(whole, 0, m_options.autoRotate, writer, error);
        }
        // A spread lying on its side would be split into a top and a bottom half, so its
        // orientation is settled before the split, for both pages at once.
        int quarterTurns = 0;
        if (m_options.autoRotate) {
            quarterTurns = m_orientation.quarterTurnsToUpright(whole.binary.get(), whole.resolution,
                                                               kUnpromptedOrientationMargin);
            if (!RotateQuarterTurns(whole, quarterTurns)) {
                error = "an image of " + m_options.inputPath + " cannot be turned";
                return Outcome::Failed;
            }
        }
        PageImage left;
        PageImage right;
        if (!SplitSpread(whole, left, right)) {
            error = "an image of " + m_options.inputPath + " cannot be split in two";
            return Outcome::Failed;
        }
        for (PageImage* page : {&left, &right}) {
            const Outcome outcome = recognisePage(*page, quarterTurns, false, writer, error);
            if (outcome != Outcome::Written) {
                return outcome;
            }
        }
        return Outcome::Written;
    }

    // Most pages arrive upright, so a page is recognised as it lies first; only when the result
    // runs across the page or reads as nonsense is the orientation model asked, and the page
    // turned and read again. Upright pages thus cost nothing extra.
    Outcome recognisePage(PageImage& page, int quarterTurns, bool mayTurn, DocumentWriter& writer,
                          std::string& error) {
        ++m_pageNumber;
        Outcome outcome = recognise(page, error);
        if (outcome != Outcome::Written) {
            return outcome;
        }
        if (mayTurn && RecognitionSuggestsTurnedPage(m_engine)) {
            outcome = turnUpright(page, quarterTurns, error);
            if (outcome != Outcome::Written) {
                return outcome;
            }
        }
        PageStatistics statistics = ClassifyPage(CollectConfidences(m_engine));
        statistics.rotation = quarterTurns * 90;
        if (!writer.addPage(m_engine)) {
            error = "cannot write page " + std::to_string(m_pageNumber) + " of the document " +
                    m_options.outputPath;
            return Outcome::Failed;
        }
        m_engine.Clear();
        m_statistics += FormatStatisticsLine(statistics);
        if (!m_options.quiet) {
            std::printf("orlavex: page %d: %d characters, %d words, turned %d degrees\n",
                        m_pageNumber, statistics.characters, statistics.words, statistics.rotation);
            std::fflush(stdout);
        }
        return Outcome::Written;
    }

    // Asks the orientation model, turns the page and reads it again. A turn that reads worse than
    // the page as it lay is taken back, so a doubtful verdict on a poor page does no harm.
    Outcome turnUpright(PageImage& page, int& quarterTurns, std::string& error) {
        const int turns = m_orientation.quarterTurnsToUpright(page.binary.get(), page.resolution,
                                                              kPromptedOrientationMargin);
        if (turns == 0) {
            return Outcome::Written;
        }
        const int confidenceAsItLay = m_engine.MeanTextConf();
        if (!RotateQuarterTurns(page, turns)) {
            error = "page " + std::to_string(m_pageNumber) + " cannot be turned";
            return Outcome::Failed;
        }
        Outcome outcome = recognise(page, error);
        if (outcome != Outcome::Written || m_engine.MeanTextConf() >= confidenceAsItLay) {
            quarterTurns = turns;
            return outcome;
        }
        if (!RotateQuarterTurns(page, 4 - turns)) {
            error = "page " + std::to_string(m_pageNumber) + " cannot be turned";
            return Outcome::Failed;
        }
        return recognise(page, error);
    }

    // Straightens the page and recognises it; the results stay in the engine.
    Outcome recognise(PageImage& page, std::string& error) {
        if (m_options.deskew) {
            Straighten(page);
        }
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }
        m_engine.SetImage(page.pix.get());
        m_engine.SetSourceResolution(page.resolution);
        tesseract::ETEXT_DESC monitor;
        monitor.cancel = CancelRecognition;
        const int recognised = m_engine.Recognize(&monitor);
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }
        if (recognised != 0) {
            error = "page " + std::to_string(m_pageNumber) + " cannot be recognised";
            return Outcome::Failed;
        }
        return Outcome::Written;
    }

    // The statistics file comes first, so that whoever waits for the document finds both.
    Outcome putInPlace(DocumentWriter& writer, std::string& error) {
        const bool withStatistics = !m_options.statisticsPath.empty();
        if (withStatistics &&
            !quillrun::platform::WriteWholeFile(m_options.statisticsPath, m_statistics)) {
            error = "cannot write the statistics file " + m_options.statisticsPath;
            return Outcome::Failed;
        }
        const bool cancelled = CancellationRequested();
        if (cancelled || !writer.commit(error)) {
            if (withStatistics) {
                quillrun::platform::RemoveFile(m_options.statisticsPath);
            }
            return cancelled ? Outcome::Cancelled : Outcome::Failed;
        }
        return Outcome::Written;
    }

    void message(const std::string& text) const {
        if (!m_options.quiet) {
            std::fprintf(stderr, "orlavex: %s\n", text.c_str());
        }
    }

    const Options& m_options;
    tesseract::TessBaseAPI m_engine;
    OrientationDetector m_orientation;
    std::string m_statistics;
    int m_pageNumber = 0;
};

}  // namespace

ConversionResult Convert(const Options& options) {
    ConversionResult result = Converter(options).run();
    if (result.outcome == Outcome::Written && options.deleteInput &&
        !quillrun::platform::RemoveFile(options.inputPath)) {
        result.warning = "the document was written, but the image " + options.inputPath +
                         " could not be deleted: " + std::strerror(errno);
    }
    return result;
}

}  // namespace orlavex
