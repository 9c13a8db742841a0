#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "conversion.h"
#include "image_work.h"
#include "options.h"
#include "page_source.h"

namespace orlavex {

// Reads the input's images in order on the calling thread and recognises them on as many threads
// as there are processors (or -jobs:N), one engine each. Pages are added to the document strictly
// in order: a thread that has read a page waits for its turn, so no more pages are held than there
// are threads, plus the one being read and one waiting for a free thread.
//
// A page read sooner than the one before it waits with the results in its engine. So that its
// processor does not idle meanwhile, a document with more pages than processors gets one engine
// more than processors, and a thread gives its processor up while its page waits.
class PagePipeline {
  public:
    explicit PagePipeline(const Options& options);
    ~PagePipeline();
    PagePipeline(const PagePipeline&) = delete;
    PagePipeline& operator=(const PagePipeline&) = delete;

    // Starts the engines for an input of imageCount images (0: not known in advance); false with
    // error set when one cannot start.
    bool start(int imageCount, std::string& error);

    // The recognition data folder of the started engines.
    std::string dataPath() const;

    // Hands every image of the source to work, in order. Written when work did every image;
    // otherwise the first reason to stop, with error saying why.
    Outcome run(PageSource& source, ImageWork& work, std::string& error);

  private:
    class ProcessorClaim;
    class Turn;

    // One image of the input on its way through recognition.
    struct Job {
        SourceImage image;
        int index = 0;  // in the input, from 0
    };

    void handOutImages(PageSource& source);
    void work(PageReader& reader, ImageWork& imageWork);
    bool processorIsFree() const { return m_recognising < m_recognitionLimit; }
    bool waitForTurn(int imageIndex);
    void passTurn(int imageIndex);
    template <typename Predicate>
    void waitUntil(std::unique_lock<std::mutex>& lock, Predicate ready);
    void stop(Outcome outcome, const std::string& error);
    void stopLocked(Outcome outcome, const std::string& error);
    bool stopped();
    void message(const std::string& text) const;

    const Options& m_options;
    std::vector<std::unique_ptr<PageReader>> m_readers;

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
};

}  // namespace orlavex
