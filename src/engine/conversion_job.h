#pragma once

#include <optional>
#include <string>

#include "engine/image_search.h"
#include "engine/page_stats.h"
#include "settings/settings.h"

namespace quillrun {

class ImageClaims;
class ImageClaim;
class JobObserver;

namespace platform {
struct ProgramRun;
}

// What a document left by a reading program that the user stopped is renamed with.
inline constexpr const char* kStoppedDocumentSuffix = ".stopped";

enum class JobOutcome {
    Converted,         // the document exists and its statistics have been harvested
    Failed,            // the reading program left no document, or the image could not be
                       // handed to it: the image has its failure marker
    StoppedByUser,     // the user ended the reading program: marker, unfinished document set aside
    LeftForNextStart,  // the program is being ended: nothing of the job is left, not even a marker
    TakenElsewhere,    // another job has taken or finished the image meanwhile
    PassedOver,        // the image's own folder or marker could not be made: the log says why,
                       // and the image is to be left alone for the rest of the run
    WorkCannotGoOn     // the reading program cannot be started, or the destination hierarchy
                       // itself has gone or cannot be written: the next image would fare no better
};

struct JobResult {
    JobOutcome outcome = JobOutcome::WorkCannotGoOn;
    bool readerRan = false;         // the reading program was started, and has ended
    DocumentStatistics statistics;  // the pages harvested, when converted
};

// Converts one image the search has chosen: claims it, makes its destination folder, runs the
// reading program with the user's command line and waits for it, then harvests the document's
// statistics or writes the failure marker. Every step is reported through the observer; the
// settings are the ones the job started with.
class ConversionJob {
  public:
    ConversionJob(const Settings& settings, Candidate candidate, std::string readerPath,
                  ImageClaims& claims, JobObserver& observer);

    JobResult Run();

  private:
    bool PrepareDestinationFolder(const std::string& folder);
    bool DestinationUsable() const;
    JobOutcome EndImage(bool markerPossible);
    JobResult RunReader(ImageClaim& claim);
    std::optional<JobOutcome> InterruptedOutcome(const platform::ProgramRun& run,
                                                 const ImageClaim& claim,
                                                 const std::string& statisticsPath);
    JobOutcome DiscardStoppedRun();
    JobOutcome MarkImageFailed(JobOutcome outcome);

    const Settings& m_settings;
    const Candidate m_candidate;
    const std::string m_readerPath;  // enclosed in double quotes
    ImageClaims& m_claims;
    JobObserver& m_observer;
};

}  // namespace quillrun
