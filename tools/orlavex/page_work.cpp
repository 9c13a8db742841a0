#include "page_work.h"

#include <tesseract/baseapi.h>

#include <cstdio>

#include "cancellation.h"
#include "page_cleanup.h"
#include "page_reader.h"
#include "page_source.h"
#include "page_statistics.h"
#include "platform/file_system.h"
#include "stored_image.h"

namespace orlavex {

PageWork::PageWork(const Options& options) : m_options(options), m_writer(options.outputPath) {}

bool PageWork::open(const std::string& dataPath, std::string& error) {
    return m_writer.open(dataPath, error);
}

Outcome PageWork::convertImage(PageReader& reader, SourceImage& image, int index, ImageTurn& turn,
                               std::string& error) {
    PageImage whole;
    whole.resolution = image.resolution;
    whole.pix = std::move(image.pix);
    whole.originalFile = std::move(image.originalFile);
    if (!PrepareImage(whole, m_options.despeckle)) {
        error = "an image of " + m_options.inputPath + " cannot be processed";
        return Outcome::Failed;
    }
    if (!m_options.twoPage) {
        const int pageNumber = index + 1;
        int quarterTurns = 0;
        const Outcome outcome =
            reader.read(whole, pageNumber, m_options.autoRotate, quarterTurns, error);
        if (outcome != Outcome::Written) {
            return outcome;
        }
        return addPage(reader, whole, quarterTurns, pageNumber, turn, error);
    }
    // A spread lying on its side would be split into a top and a bottom half, so its
    // orientation is settled before the split, for both pages at once.
    int quarterTurns = m_options.autoRotate ? reader.quarterTurnsOfSpread(whole) : 0;
    if (!RotateQuarterTurns(whole, quarterTurns)) {
        error = "an image of " + m_options.inputPath + " cannot be turned";
        return Outcome::Failed;
    }
    PageImage left;
    PageImage right;
    if (!SplitSpread(whole, left, right)) {
        error = "an image of " + m_options.inputPath + " cannot be split in two";
        return Outcome::Failed;
    }
    // The engine holds one page's results at a time, so the left page is in the document
    // before the right one is read; the turn passes on after the right page.
    for (PageImage* page : {&left, &right}) {
        const int pageNumber = 2 * index + (page == &left ? 1 : 2);
        if (!turn.claimProcessor()) {
            return Outcome::Failed;  // the conversion stopped, and whoever stopped it said why
        }
        Outcome outcome = reader.read(*page, pageNumber, false, quarterTurns, error);
        if (outcome == Outcome::Written) {
            outcome = addPage(reader, *page, quarterTurns, pageNumber, turn, error);
        }
        if (outcome != Outcome::Written) {
            return outcome;
        }
    }
    return Outcome::Written;
}

// Adds the page that the reader's engine has just recognised, once every earlier image is in
// the document. The statistics and the page image are made before the wait, in parallel.
Outcome PageWork::addPage(PageReader& reader, PageImage& page, int quarterTurns, int pageNumber,
                          ImageTurn& turn, std::string& error) {
    tesseract::TessBaseAPI& engine = reader.engine();
    PageStatistics statistics = ClassifyPage(CollectConfidences(engine));
    statistics.rotation = quarterTurns * 90;
    StoredImage image;
    if (!image.prepare(page, error)) {
        error = "page " + std::to_string(pageNumber) + ": " + error;
        return Outcome::Failed;
    }
    if (!turn.awaitTurn()) {
        return Outcome::Failed;  // the conversion stopped, and whoever stopped it said why
    }
    engine.SetInputName(image.fileName());
    const bool added = m_writer.addPage(engine);
    engine.SetInputName(nullptr);
    engine.Clear();
    if (!added) {
        error = "cannot write page " + std::to_string(pageNumber) + " of the document " +
                m_options.outputPath;
        return Outcome::Failed;
    }
    m_statistics += FormatStatisticsLine(statistics);
    if (!m_options.quiet) {
        std::printf("orlavex: page %d: %d characters, %d words, turned %d degrees\n", pageNumber,
                    statistics.characters, statistics.words, statistics.rotation);
        std::fflush(stdout);
    }
    return Outcome::Written;
}

// The statistics file comes first, so that whoever waits for the document finds both.
Outcome PageWork::complete(std::string& error) {
    if (!m_writer.finish(error)) {
        return Outcome::Failed;
    }
    const bool withStatistics = !m_options.statisticsPath.empty();
    if (withStatistics &&
        !quillrun::platform::WriteWholeFile(m_options.statisticsPath, m_statistics)) {
        error = "cannot write the statistics file " + m_options.statisticsPath;
        return Outcome::Failed;
    }
    const bool cancelled = CancellationRequested();
    if (cancelled || !m_writer.commit(error)) {
        if (withStatistics) {
            quillrun::platform::RemoveFile(m_options.statisticsPath);
        }
        return cancelled ? Outcome::Cancelled : Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace orlavex
