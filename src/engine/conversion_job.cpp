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
    if (!CanBeQuoted(m_currentImage) || !CanBeQuoted(m_pendingOutput)) {
        LogActivity(m_currentImage +
                    " cannot be passed to the reading program: its path contains a double-quote "
                    "character.");
        MarkImageFailed();
        return;
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
    if (platform::GetPathKind(m_pendingOutput) == platform::PathKind::Missing) {
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

// The marker holds the image's full path and keeps the image out of every later search. Even if
// it cannot be written, the pending document is given up, so the next cycle tries again.
void QuillrunEngine::MarkImageFailed() {
    platform::WriteWholeFile(ReplaceLastThree(m_pendingOutput, "bad"), m_currentImage);
    m_pendingOutput.clear();
}

bool QuillrunEngine::CreateFolderPath(const std::string& folder) {
    return platform::CreateFolderTree(folder);
}

}  // namespace quillrun
