#include "engine/destination_names.h"
#include "engine/quillrun_engine.h"
#include "engine/reader_command_line.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/process.h"

namespace quillrun {

void QuillrunEngine::ConvertImage() {
    if (!PrepareDestinationFolder(DestinationFolderOf(m_pendingOutput))) {
        StopWork();
        return;
    }
    std::optional<ImageClaim> claim = ClaimPendingImage();
    if (!claim) {
        return;
    }
    const std::string statisticsPath = StatisticsPathFor(m_pendingOutput);
    // The document's path holds a quote when the destination root does; the line names the path
    // that holds it, so the user knows which one to change.
    for (const std::string* path : {&m_currentImage, &m_pendingOutput}) {
        if (!CanBeQuoted(*path)) {
            LogActivity(*path +
                        " cannot be passed to the reading program: its path contains a "
                        "double-quote character.");
            MarkImageFailed();
            return;
        }
    }
    const std::string commandLine = BuildReaderCommandLine(
        {m_readerPath, m_settings.user, m_settings.password, m_settings.commandArgs, m_currentImage,
         m_pendingOutput, statisticsPath});
    const platform::ProgramRun run =
        platform::RunProgram(commandLine, [this, &claim](std::chrono::milliseconds elapsed) {
            if (!claim->KeepUp()) {
                return platform::WaitVerdict::EndProgram;
            }
            return m_host.ReaderRunning(m_currentImage, elapsed);
        });
    m_host.ReaderEnded();
    if (!run.started) {
        LogActivity("Failed to CreateProcess " + m_readerPath + "!");
        LogActivity("The reading program could not be started: " + run.startError.message + ".");
        StopWork();
        return;
    }
    if (LeaveInterruptedJob(run, *claim, statisticsPath)) {
        return;
    }
    m_interval = kLaterInterval;
    if (run.endedOnRequest) {
        DiscardStoppedRun();
    } else if (platform::GetPathKind(m_pendingOutput) == platform::PathKind::Missing) {
        LogActivity("Warning! - no ORX file was created for " + m_currentImage + ".");
        MarkImageFailed();
    } else {
        m_pendingOutputWritten = true;
        HarvestStatistics(m_pendingOutput, statisticsPath);
    }
}

bool QuillrunEngine::PrepareDestinationFolder(const std::string& folder) {
    // A document directly below a root has the root's trimmed form as its folder.
    const std::string examined = platform::FolderToOpen(folder);
    switch (platform::GetPathKind(examined)) {
        case platform::PathKind::Missing:
            if (!CreateFolderPath(folder)) {
                LogActivity("Unable to Create the folder " + folder);
                return false;
            }
            return true;
        case platform::PathKind::File:
            LogActivity(folder + " exists, but is not a folder.");
            return false;
        case platform::PathKind::Folder:
            if (platform::IsReadOnlyFolder(examined)) {
                LogActivity(folder + " is a read only folder.");
                return false;
            }
            return true;
    }
    return false;
}

// The job could not run at all: the pending document never comes, so no new image is taken
// until the program is restarted. Say so rather than go on showing "Working".
void QuillrunEngine::StopWork() {
    SetStatus(kStatusStopped);
}

// The user ended the reading program: whatever document it left is unfinished, however whole it
// may look. It is kept aside for the user to look at, never harvested, and the image is marked
// like any other failure.
void QuillrunEngine::DiscardStoppedRun() {
    LogActivity("The reading program was stopped by the user while converting " + m_currentImage +
                ".");
    if (platform::GetPathKind(m_pendingOutput) == platform::PathKind::Missing) {
        // The line every failed job without a document has always logged, which people search
        // their logs for.
        LogActivity("Warning! - no ORX file was created for " + m_currentImage + ".");
    } else {
        const platform::RenamedAside aside =
            platform::RenameAside(m_pendingOutput, kStoppedDocumentSuffix);
        if (aside.succeeded) {
            LogActivity("The unfinished document was kept as " + aside.path + ".");
        } else {
            LogActivity("The unfinished document " + m_pendingOutput +
                        " could not be set aside: " + aside.error.message + ".");
        }
    }
    MarkImageFailed();
}

// The marker holds the image's full path and keeps the image out of every later search. Without
// it the same image would be run again on every tick, holding up every image behind it, so a
// marker that cannot be written stops the work as an unusable destination folder does: the
// pending document stays set and never comes.
void QuillrunEngine::MarkImageFailed() {
    const std::string marker = ReplaceLastThree(m_pendingOutput, "bad");
    const platform::FileResult written = platform::WriteWholeFile(marker, m_currentImage);
    if (!written) {
        LogActivity("The failure marker " + marker +
                    " could not be written: " + written.error.message + ".");
        StopWork();
        return;
    }
    m_pendingOutput.clear();
}

bool QuillrunEngine::CreateFolderPath(const std::string& folder) {
    return platform::CreateFolderTree(folder);
}

}  // namespace quillrun
