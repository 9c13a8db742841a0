// The conversion job's part in sharing a destination hierarchy with other instances: the claim
// taken before the reading program starts, and a job that ends without being the image's fault.
#include "engine/quillrun_engine.h"
#include "platform/file_system.h"

namespace quillrun {

ImageClaims& QuillrunEngine::imageClaims() {
    if (!m_claims) {
        m_claims = std::make_shared<ImageClaims>();
    }
    return *m_claims;
}

std::optional<ImageClaim> QuillrunEngine::ClaimPendingImage() {
    ClaimResult result = imageClaims().Claim(m_pendingOutput);
    switch (result.outcome) {
        case ClaimOutcome::Claimed:
            return std::move(result.claim);
        case ClaimOutcome::HeldElsewhere:
        case ClaimOutcome::AlreadyDone:
            // Another instance took the image, or finished it, after the search chose it. The next
            // search passes it over; nothing is logged here, the other instance logs its job.
            ReleasePendingOutput();
            return std::nullopt;
        case ClaimOutcome::Failed:
            break;
    }
    LogActivity(m_currentImage + " cannot be claimed for conversion: " + result.failure + ".");
    StopWork();
    return std::nullopt;
}

bool QuillrunEngine::LeaveInterruptedJob(const platform::ProgramRun& run, const ImageClaim& claim,
                                         const std::string& statisticsPath) {
    if (claim.lost()) {
        // The other instance judged this one gone and converts the image itself; what the
        // reading program left is its business now.
        LogActivity(m_currentImage +
                    " has been taken over by another Quillrun; this conversion is given up.");
        ReleasePendingOutput();
        return true;
    }
    const bool documentMissing =
        platform::GetPathKind(m_pendingOutput) == platform::PathKind::Missing;
    // A reading program ended by the shutdown, or killed by the same signal (Ctrl+C reaches the
    // whole process group), has not failed on its image.
    if (!m_host.StopRequested() || (!run.endedOnRequest && !documentMissing)) {
        return false;
    }
    // Part of a document would pass for a finished one; the claim goes with the job.
    platform::RemoveFile(m_pendingOutput);
    platform::RemoveFile(statisticsPath);
    LogActivity(m_currentImage +
                " is left for the next start: the work was ended while the reading program "
                "worked on it.");
    ReleasePendingOutput();
    return true;
}

}  // namespace quillrun
