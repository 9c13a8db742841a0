#include "engine/conversion_job.h"

#include "engine/destination_names.h"
#include "engine/image_claims.h"
#include "engine/job_observer.h"
#include "engine/reader_command_line.h"
#include "engine/statistics_harvest.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/process.h"

namespace quillrun {
namespace {

JobResult Ended(JobOutcome outcome, bool readerRan = false) {
    JobResult result;
    result.outcome = outcome;
    result.readerRan = readerRan;
    return result;
}

bool IsMissing(const std::string& path) {
    return platform::GetPathKind(path) == platform::PathKind::Missing;
}

}  // namespace

ConversionJob::ConversionJob(const Settings& settings, Candidate candidate, std::string readerPath,
                             ImageClaims& claims, JobObserver& observer)
    : m_settings(settings),
      m_candidate(std::move(candidate)),
      m_readerPath(std::move(readerPath)),
      m_claims(claims),
      m_observer(observer) {}

JobResult ConversionJob::Run() {
    if (!PrepareDestinationFolder(DestinationFolderOf(m_candidate.document))) {
        return Ended(EndImage(false));
    }
    ClaimResult claimed = m_claims.Claim(m_candidate.document);
    switch (claimed.outcome) {
        case ClaimOutcome::Claimed:
            return RunReader(*claimed.claim);
        case ClaimOutcome::HeldElsewhere:
        case ClaimOutcome::AlreadyDone:
            // Another instance took the image, or finished it, after the search chose it. The next
            // search passes it over; nothing is logged here, the other instance logs its job.
            return Ended(JobOutcome::TakenElsewhere);
        case ClaimOutcome::Failed:
            break;
    }
    m_observer.Log(m_candidate.image + " cannot be claimed for conversion: " + claimed.failure +
                   ".");
    return Ended(EndImage(true));
}

// What only this image meets (its folder, its claim, its marker) ends this image and never the
// work, or one image anybody can make could stop every conversion. What every image would meet,
// the destination hierarchy gone or not writable, stops the work.
JobOutcome ConversionJob::EndImage(bool markerPossible) {
    if (!DestinationUsable()) {
        return JobOutcome::WorkCannotGoOn;
    }
    if (markerPossible) {
        return MarkImageFailed(JobOutcome::Failed);
    }
    m_observer.Log(m_candidate.image + " is passed over until the work is started again.");
    return JobOutcome::PassedOver;
}

bool ConversionJob::DestinationUsable() const {
    const std::string root = platform::FolderToOpen(m_candidate.destinationRoot);
    return platform::GetPathKind(root) == platform::PathKind::Folder &&
           !platform::IsReadOnlyFolder(root);
}

bool ConversionJob::PrepareDestinationFolder(const std::string& folder) {
    // What Quillrun writes and removes itself stays inside the destination hierarchy: a link
    // there, planted or not, would lead its marker, claim and folders elsewhere.
    if (platform::HasLinkBelow(m_candidate.destinationRoot, folder)) {
        m_observer.Log(folder +
                       " is a link, or lies below one: nothing is written through a link in the "
                       "destination hierarchy.");
        return false;
    }
    // A document directly below a root has the root's trimmed form as its folder.
    const std::string examined = platform::FolderToOpen(folder);
    switch (platform::GetPathKind(examined)) {
        case platform::PathKind::Missing:
            if (const platform::FileResult created = platform::CreateFolderTree(folder); !created) {
                m_observer.Log("Unable to Create the folder " + folder);
                m_observer.Log("The folder could not be created: " + created.error.message + ".");
                return false;
            }
            return true;
        case platform::PathKind::File:
            m_observer.Log(folder + " exists, but is not a folder.");
            return false;
        case platform::PathKind::Folder:
            if (platform::IsReadOnlyFolder(examined)) {
                m_observer.Log(folder + " is a read only folder.");
                return false;
            }
            return true;
    }
    return false;
}

JobResult ConversionJob::RunReader(ImageClaim& claim) {
    const std::string& image = m_candidate.image;
    const std::string& document = m_candidate.document;
    // The document's path holds a quote when the destination root does; the line names the path
    // that holds it, so the user knows which one to change.
    for (const std::string* path : {&image, &document}) {
        if (!CanBeQuoted(*path)) {
            m_observer.Log(*path +
                           " cannot be passed to the reading program: its path contains a "
                           "double-quote character.");
            return Ended(MarkImageFailed(JobOutcome::Failed));
        }
    }
    const std::string statisticsPath = StatisticsPathFor(document);
    // Whatever stands at the statistics file's name (left by an earlier run, or planted, a link
    // included) would be read as this run's: it goes, and a link goes without being followed.
    platform::RemoveFile(statisticsPath);
    const std::string commandLine =
        BuildReaderCommandLine({m_readerPath, m_settings.user, m_settings.password,
                                m_settings.commandArgs, image, document, statisticsPath});
    const platform::ProgramRun run =
        platform::RunProgram(commandLine, [&](std::chrono::milliseconds elapsed) {
            if (!claim.KeepUp()) {
                return platform::WaitVerdict::EndProgram;
            }
            return m_observer.ReaderRunning(image, elapsed);
        });
    m_observer.ReaderEnded();
    if (!run.started) {
        m_observer.Log("Failed to CreateProcess " + m_readerPath + "!");
        m_observer.Log("The reading program could not be started: " + run.startError.message + ".");
        return Ended(JobOutcome::WorkCannotGoOn);
    }
    JobResult result = Ended(JobOutcome::Converted, true);
    if (const std::optional<JobOutcome> interrupted =
            InterruptedOutcome(run, claim, statisticsPath)) {
        result.outcome = *interrupted;
    } else if (run.endedOnRequest) {
        result.outcome = DiscardStoppedRun();
    } else if (IsMissing(document)) {
        m_observer.Log("Warning! - no ORX file was created for " + image + ".");
        result.outcome = MarkImageFailed(JobOutcome::Failed);
    } else {
        result.statistics = HarvestStatistics(document, statisticsPath, m_observer);
    }
    return result;
}

// A job that ends without it being the image's fault: the claim was taken over, or the program
// is being ended.
std::optional<JobOutcome> ConversionJob::InterruptedOutcome(const platform::ProgramRun& run,
                                                            const ImageClaim& claim,
                                                            const std::string& statisticsPath) {
    if (claim.lost()) {
        // The other instance judged this one gone and converts the image itself; what the
        // reading program left is its business now.
        m_observer.Log(m_candidate.image +
                       " has been taken over by another Quillrun; this conversion is given up.");
        return JobOutcome::TakenElsewhere;
    }
    // A reading program ended by the shutdown, or killed by the same signal (Ctrl+C reaches the
    // whole process group), has not failed on its image.
    if (!m_observer.StopRequested() || (!run.endedOnRequest && !IsMissing(m_candidate.document))) {
        return std::nullopt;
    }
    // Part of a document would pass for a finished one; the claim goes with the job.
    platform::RemoveFile(m_candidate.document);
    platform::RemoveFile(statisticsPath);
    m_observer.Log(m_candidate.image +
                   " is left for the next start: the work was ended while the reading program "
                   "worked on it.");
    return JobOutcome::LeftForNextStart;
}

// The user ended the reading program: whatever document it left is unfinished, however whole it
// may look. It is kept aside for the user to look at, never harvested, and the image is marked
// like any other failure.
JobOutcome ConversionJob::DiscardStoppedRun() {
    const std::string& document = m_candidate.document;
    m_observer.Log("The reading program was stopped by the user while converting " +
                   m_candidate.image + ".");
    if (IsMissing(document)) {
        // The line every failed job without a document has always logged, which people search
        // their logs for.
        m_observer.Log("Warning! - no ORX file was created for " + m_candidate.image + ".");
    } else {
        const platform::RenamedAside aside =
            platform::RenameAside(document, kStoppedDocumentSuffix);
        if (aside.succeeded) {
            m_observer.Log("The unfinished document was kept as " + aside.path + ".");
        } else {
            m_observer.Log("The unfinished document " + document +
                           " could not be set aside: " + aside.error.message + ".");
        }
    }
    return MarkImageFailed(JobOutcome::StoppedByUser);
}

// The marker holds the image's full path and keeps the image out of every later search. One that
// cannot be written leaves the image to be passed over for the rest of the run instead, so that
// it is not run again and again.
JobOutcome ConversionJob::MarkImageFailed(JobOutcome outcome) {
    const platform::FileResult written =
        platform::WriteWholeFile(m_candidate.marker, m_candidate.image);
    if (!written) {
        m_observer.Log("The failure marker " + m_candidate.marker +
                       " could not be written: " + written.error.message + ".");
        return EndImage(false);
    }
    return outcome;
}

}  // namespace quillrun
