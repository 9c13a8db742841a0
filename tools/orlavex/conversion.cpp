#include "conversion.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <tesseract/baseapi.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cancellation.h"
#include "document_writer.h"
#include "page_cleanup.h"
#include "page_reader.h"
#include "page_source.h"
#include "page_statistics.h"
#include "platform/file_system.h"
#include "platform/this_process.h"
#include "platform/unique_fd.h"
#include "stored_image.h"

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

// A signal cannot wake a thread that waits for another; waiting threads look for one this often.
constexpr std::chrono::milliseconds kCancellationCheckInterval{100};

// One image of the input on its way through recognition.
struct Job {
    SourceImage image;
    int index = 0;  // in the input, from 0
};

// Reads the input's images in order on the calling thread and recognises them on as many threads
// as there are processors (or -jobs:N), one engine each. Pages are added to the document strictly
// in order: a thread that has read a page waits for its turn, so no more pages are held than there
// are threads, plus the one being read and one waiting for a free thread.
//
// A page read sooner than the one before it waits with the results in its engine. So that its
// processor does not idle meanwhile, a document with more pages than processors gets one engine
// more than processors, and a thread gives its processor up while its page waits.
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
        if (!startReaders(source->imageCount(), error)) {
            return Outcome::Failed;
        }
        // Starting the engines takes a moment; a Stop that came meanwhile creates no file.
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }
        DocumentWriter writer(m_options.outputPath);
        if (!writer.open(m_readers.front()->engine().GetDatapath(), error)) {
            return Outcome::Failed;
        }
        if (CancellationRequested()) {
            return Outcome::Cancelled;
        }
        m_writer = &writer;
        std::vector<std::jthread> threads;
        for (const std::unique_ptr<PageReader>& reader : m_readers) {
            threads.emplace_back([this, &reader] { work(*reader); });
        }
        handOutImages(*source);
        for (std::jthread& thread : threads) {
            thread.join();
        }
        m_writer = nullptr;
        if (m_outcome != Outcome::Written) {
            error = m_error;
            return m_outcome;
        }
        if (!writer.finish(error)) {
            return Outcome::Failed;
        }
        return putInPlace(writer, error);
    }

    // One engine per thread, all started here, side by side, before any page is read: Tesseract
    // keeps some settings for all engines together, and they must not change under a page that
    // another engine is reading. A single image needs one engine only.
    bool startReaders(int imageCount, std::string& error) {
        ConfigureRecognitionLibrary(m_options);
        const int processors = static_cast<int>(quillrun::platform::ProcessorCount());
        m_recognitionLimit = m_options.jobs > 0 ? std::min(m_options.jobs, processors) : processors;
        if (imageCount > 0) {
            m_recognitionLimit = std::min(m_recognitionLimit, imageCount);
        }
        const bool spare =
            m_recognitionLimit > 1 && (imageCount <= 0 || imageCount > m_recognitionLimit);
        const int engines = m_recognitionLimit + (spare ? 1 : 0);
        for (int i = 0; i < engines; ++i) {
            m_readers.push_back(std::make_unique<PageReader>(m_options));
            m_readers.back()->stopWhen(&m_stopRequested);
        }
        // Loading a language takes a good part of a second, so the engines load theirs at the
        // same time, each on a thread of its own; the first one on this thread.
        struct Start {
            bool started = false;
            std::string error;
            std::string warning;
        };
        std::vector<Start> starts(m_readers.size());
        const bool soleEngine = m_readers.size() == 1;
        {
            std::vector<std::jthread> others;
            for (std::size_t i = 1; i < m_readers.size(); ++i) {
                others.emplace_back([this, &starts, i] {
                    starts[i].started =
                        m_readers[i]->start(false, starts[i].error, starts[i].warning);
                });
            }
            starts[0].started = m_readers[0]->start(soleEngine, starts[0].error, starts[0].warning);
        }
        for (const Start& start : starts) {
            if (!start.started) {
                error = start.error;
                return false;
            }
        }
        if (!starts[0].warning.empty()) {
            message(starts[0].warning);
        }
        return true;
    }

    // Reads one image after another and hands each to the next free thread.
    void handOutImages(PageSource& source) {
        for (int index = 0;; ++index) {
            Job job;
            job.index = index;
            std::string error;
            const NextImage next = stopped() ? NextImage::End : source.next(job.image, error);
            if (CancellationRequested()) {
                stop(Outcome::Cancelled, "");
                break;
            }
            if (next == NextImage::Failed) {
                stop(Outcome::Failed, m_options.inputPath + ": " + error);
                break;
            }
            if (next == NextImage::End) {
                break;
            }
            std::unique_lock lock(m_mutex);
            waitUntil(lock, [this] { return m_stopped || !m_pending; });
            if (m_stopped) {
                break;
            }
            m_pending = std::move(job);
            m_changed.notify_all();
        }
        const std::lock_guard lock(m_mutex);
        m_noMoreImages = true;
        m_changed.notify_all();
    }

    // One of the processors that recognition may use at once: held while a page is recognised,
    // given up while the page waits for its turn in the document.
    class ProcessorClaim {
      public:
        explicit ProcessorClaim(Converter& converter) : m_converter(converter) {}
        ProcessorClaim(const ProcessorClaim&) = delete;
        ProcessorClaim& operator=(const ProcessorClaim&) = delete;
        ~ProcessorClaim() { release(); }

        bool held() const { return m_held; }

        // With the converter's lock held, once it is known that a processor is free.
        void takeLocked() {
            ++m_converter.m_recognising;
            m_held = true;
        }

        // Waits for a free processor; false when the conversion stopped meanwhile.
        bool take() {
            std::unique_lock lock(m_converter.m_mutex);
            m_converter.waitUntil(
                lock, [this] { return m_converter.m_stopped || m_converter.processorIsFree(); });
            if (m_converter.m_stopped) {
                return false;
            }
            takeLocked();
            return true;
        }

        void release() {
            if (!m_held) {
                return;
            }
            const std::lock_guard lock(m_converter.m_mutex);
            --m_converter.m_recognising;
            m_held = false;
            m_converter.m_changed.notify_all();
        }

      private:
        Converter& m_converter;
        bool m_held = false;
    };

    bool processorIsFree() const { return m_recognising < m_recognitionLimit; }

    void work(PageReader& reader) {
        for (;;) {
            std::optional<Job> job;
            ProcessorClaim processor(*this);
            {
                std::unique_lock lock(m_mutex);
                waitUntil(lock, [this] {
                    return m_stopped || (m_pending && processorIsFree()) ||
                           (!m_pending && m_noMoreImages);
                });
                if (m_stopped || !m_pending) {
                    return;
                }
                job = std::move(m_pending);
                m_pending.reset();
                processor.takeLocked();
                m_changed.notify_all();
            }
            std::string error;
            const Outcome outcome = recogniseImage(reader, *job, processor, error);
            if (outcome != Outcome::Written) {
                stop(outcome, error);
                return;
            }
        }
    }

    Outcome recogniseImage(PageReader& reader, Job& job, ProcessorClaim& processor,
                           std::string& error) {
        PageImage whole;
        whole.resolution = job.image.resolution;
        whole.pix = std::move(job.image.pix);
        whole.originalFile = std::move(job.image.originalFile);
        if (!PrepareImage(whole, m_options.despeckle)) {
            error = "an image of " + m_options.inputPath + " cannot be processed";
            return Outcome::Failed;
        }
        if (!m_options.twoPage) {
            const int pageNumber = job.index + 1;
            int quarterTurns = 0;
            const Outcome outcome =
                reader.read(whole, pageNumber, m_options.autoRotate, quarterTurns, error);
            if (outcome != Outcome::Written) {
                return outcome;
            }
            return addPage(reader, whole, quarterTurns, job.index, pageNumber, true, processor,
                           error);
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
            const bool isLeft = page == &left;
            const int pageNumber = 2 * job.index + (isLeft ? 1 : 2);
            if (!processor.held() && !processor.take()) {
                return Outcome::Failed;  // another thread stopped the conversion and said why
            }
            Outcome outcome = reader.read(*page, pageNumber, false, quarterTurns, error);
            if (outcome == Outcome::Written) {
                outcome = addPage(reader, *page, quarterTurns, job.index, pageNumber, !isLeft,
                                  processor, error);
            }
            if (outcome != Outcome::Written) {
                return outcome;
            }
        }
        return Outcome::Written;
    }

    // Adds the page that the reader's engine has just recognised, once every earlier image is in
    // the document. The statistics and the page image are made before the wait, in parallel.
    Outcome addPage(PageReader& reader, PageImage& page, int quarterTurns, int imageIndex,
                    int pageNumber, bool lastOfImage, ProcessorClaim& processor,
                    std::string& error) {
        tesseract::TessBaseAPI& engine = reader.engine();
        PageStatistics statistics = ClassifyPage(CollectConfidences(engine));
        statistics.rotation = quarterTurns * 90;
        StoredImage image;
        if (!image.prepare(page, error)) {
            error = "page " + std::to_string(pageNumber) + ": " + error;
            return Outcome::Failed;
        }
        processor.release();
        if (!waitForTurn(imageIndex)) {
            return Outcome::Failed;  // another thread stopped the conversion and said why
        }
        engine.SetInputName(image.fileName());
        const bool added = m_writer->addPage(engine);
        engine.SetInputName(nullptr);
        engine.Clear();
        if (!added) {
            error = "cannot write page " + std::to_string(pageNumber) + " of the document " +
                    m_options.outputPath;
            return Outcome::Failed;
        }
        m_statistics += FormatStatisticsLine(statistics);
        if (!m_options.quiet) {
            std::printf("orlavex: page %d: %d characters, %d words, turned %d degrees\n",
                        pageNumber, statistics.characters, statistics.words, statistics.rotation);
            std::fflush(stdout);
        }
        if (lastOfImage) {
            const std::lock_guard lock(m_mutex);
            ++m_nextImageToWrite;
            m_changed.notify_all();
        }
        return Outcome::Written;
    }

    // True once every image before this one is in the document; false when the conversion
    // stopped meanwhile.
    bool waitForTurn(int imageIndex) {
        std::unique_lock lock(m_mutex);
        waitUntil(lock, [&] { return m_stopped || m_nextImageToWrite == imageIndex; });
        return !m_stopped;
    }

    template <typename Predicate>
    void waitUntil(std::unique_lock<std::mutex>& lock, Predicate ready) {
        while (!ready()) {
            if (CancellationRequested()) {
                stopLocked(Outcome::Cancelled, "");
                return;
            }
            m_changed.wait_for(lock, kCancellationCheckInterval);
        }
    }

    // The first reason to stop is the one reported.
    void stop(Outcome outcome, const std::string& error) {
        const std::lock_guard lock(m_mutex);
        stopLocked(outcome, error);
    }

    void stopLocked(Outcome outcome, const std::string& error) {
        if (!m_stopped) {
            m_stopped = true;
            m_stopRequested = true;
            m_outcome = CancellationRequested() ? Outcome::Cancelled : outcome;
            m_error = error;
        }
        m_changed.notify_all();
    }

    bool stopped() {
        const std::lock_guard lock(m_mutex);
        return m_stopped;
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
    std::vector<std::unique_ptr<PageReader>> m_readers;
    DocumentWriter* m_writer = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Job> m_pending;  // read, waiting for a free thread and processor
    int m_recognitionLimit = 1;    // pages recognised at once
    int m_recognising = 0;
    bool m_noMoreImages = false;
    int m_nextImageToWrite = 0;
    bool m_stopped = false;
    std::atomic<bool> m_stopRequested{false};  // m_stopped, for the engines to look at unlocked
    Outcome m_outcome = Outcome::Written;
    std::string m_error;

    // Written only by the thread whose turn it is.
    std::string m_statistics;
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
