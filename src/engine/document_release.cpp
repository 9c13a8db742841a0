#include "engine/document_release.h"

#include "engine/job_observer.h"
#include "platform/file_readiness.h"
#include "platform/file_system.h"

namespace quillrun {

void DocumentRelease::WaitFor(std::string document, bool written) {
    m_document = std::move(document);
    m_written = written;
    m_inUseLogged = false;
}

void DocumentRelease::Clear() {
    m_document.clear();
    m_written = false;
    m_inUseLogged = false;
}

DocumentRelease::State DocumentRelease::Check(JobObserver& log) {
    if (!Blocks()) {
        if (m_inUseLogged) {
            log.Log(m_document + " has been released; the work goes on.");
        }
        Clear();
        return State::Free;
    }
    if (!m_written || m_inUseLogged) {
        return State::Waiting;
    }
    // Another program keeps the finished document open: the wait is by design, but without a
    // word it looks like a hang.
    log.Log(m_document + " is still in use; the work waits until it is released.");
    m_inUseLogged = true;
    return State::NowInUse;
}

bool DocumentRelease::Blocks() const {
    if (m_document.empty() || platform::IsFileReady(m_document)) {
        return false;
    }
    // A document that was written and then removed (the destination cleared while the work
    // runs) would otherwise hold the work for good.
    return !(m_written && platform::GetPathKind(m_document) == platform::PathKind::Missing);
}

}  // namespace quillrun
