#include "page_pipeline.h"

#include <tesseract/baseapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cancellation.h"
#include "page_reader.h"
#include "platform/this_process.h"

namespace orlavex {

namespace {

// A signal cannot wake a thread that waits for another; waiting threads look for one this often.
constexpr std::chrono::milliseconds kCancellationCheckInterval{100};

}  // namespace

// One of the processors that recognition may use at once: held while a page is recognised,
// given up while the page waits for its turn in the document.
class PagePipeline::ProcessorClaim {
  public:
    explicit ProcessorClaim(PagePipeline& pipeline) : m_pipeline(pipeline) {}
    ProcessorClaim(const ProcessorClaim&) = delete;
    ProcessorClaim& operator=(const ProcessorClaim&) = delete;
    ~ProcessorClaim() { release(); }

    bool held() const { return m_held; }

    // With the pipeline's lock held, once it is known that a processor is free.
    void takeLocked() {
        ++m_pipeline.m_recognising;
        m_held = true;
    }

    // Waits for a free processor; false when the conversion stopped meanwhile.
    bool take() {
        std::unique_lock lock(m_pipeline.m_mutex);
        m_pipeline.waitUntil(
            lock, [this] { return m_pipeline.m_stopped || m_pipeline.processorIsFree(); });
        if (m_pipeline.m_stopped) {
            return false;
        }
        takeLocked();
        return true;
    }

    void release() {
        if (!m_held) {
            return;
        }
        const std::lock_guard lock(m_pipeline.m_mutex);
        --m_pipeline.m_recognising;
        m_held = false;
        m_pipeline.m_changed.notify_all();
    }

  private:
    PagePipeline& m_pipeline;
    bool m_held = false;
};

// What the work on one image may ask of the pipeline: its processor and its place in the order.
class PagePipeline::Turn final : public ImageTurn {
  public:
    Turn(PagePipeline& pipeline, ProcessorClaim& processor, int imageIndex)
        : m_pipeline(pipeline), m_processor(processor), m_imageIndex(imageIndex) {}

    bool claimProcessor() override { return m_processor.held() || m_processor.take(); }

    bool awaitTurn() override {
        m_processor.release();
        return m_pipeline.waitForTurn(m_imageIndex);
    }

  private:
    PagePipeline& m_pipeline;
    ProcessorClaim& m_processor;
    int m_imageIndex;
};

PagePipeline::PagePipeline(const Options& options) : m_options(options) {}

PagePipeline::~PagePipeline() = default;

// One engine per thread, all started here, side by side, before any page is read: Tesseract
// keeps some settings for all engines together, and they must not change under a page that
// another engine is reading. A single image needs one engine only.
bool PagePipeline::start(int imageCount, std::string& error) {
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
                starts[i].started = m_readers[i]->start(false, starts[i].error, starts[i].warning);
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

std::string PagePipeline::dataPath() const {
    return m_readers.front()->engine().GetDatapath();
}

Outcome PagePipeline::run(PageSource& source, ImageWork& imageWork, std::string& error) {
    {
        std::vector<std::jthread> threads;
        for (const std::unique_ptr<PageReader>& reader : m_readers) {
            threads.emplace_back([this, &reader, &imageWork] { work(*reader, imageWork); });
        }
        handOutImages(source);
    }
    if (m_outcome != Outcome::Written) {
        error = m_error;
    }
    return m_outcome;
}

// Reads one image after another and hands each to the next free thread.
void PagePipeline::handOutImages(PageSource& source) {
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

void PagePipeline::work(PageReader& reader, ImageWork& imageWork) {
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
        Turn turn(*this, processor, job->index);
        std::string error;
        const Outcome outcome = imageWork.convertImage(reader, job->image, job->index, turn, error);
        if (outcome != Outcome::Written) {
            stop(outcome, error);
            return;
        }
        processor.release();
        passTurn(job->index);
    }
}

// True once every image before this one is in the document; false when the conversion
// stopped meanwhile.
bool PagePipeline::waitForTurn(int imageIndex) {
    std::unique_lock lock(m_mutex);
    waitUntil(lock, [&] { return m_stopped || m_nextImageToWrite == imageIndex; });
    return !m_stopped;
}

// An image whose work added no page to the document has not waited for its turn yet; the
// order holds all the same.
void PagePipeline::passTurn(int imageIndex) {
    std::unique_lock lock(m_mutex);
    waitUntil(lock, [&] { return m_stopped || m_nextImageToWrite == imageIndex; });
    ++m_nextImageToWrite;
    m_changed.notify_all();
}

template <typename Predicate>
void PagePipeline::waitUntil(std::unique_lock<std::mutex>& lock, Predicate ready) {
    while (!ready()) {
        if (CancellationRequested()) {
            stopLocked(Outcome::Cancelled, "");
            return;
        }
        m_changed.wait_for(lock, kCancellationCheckInterval);
    }
}

// The first reason to stop is the one reported.
void PagePipeline::stop(Outcome outcome, const std::string& error) {
    const std::lock_guard lock(m_mutex);
    stopLocked(outcome, error);
}

void PagePipeline::stopLocked(Outcome outcome, const std::string& error) {
    if (!m_stopped) {
        m_stopped = true;
        m_stopRequested = true;
        m_outcome = CancellationRequested() ? Outcome::Cancelled : outcome;
        m_error = error;
    }
    m_changed.notify_all();
}

bool PagePipeline::stopped() {
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

void PagePipeline::message(const std::string& text) const {
    if (!m_options.quiet) {
        std::fprintf(stderr, "orlavex: %s\n", text.c_str());
    }
}

}  // namespace orlavex
