#pragma once

#include <string>

namespace quillrun {

class JobObserver;

// The dialog's wait for the last job's document: no new image is taken until that document can
// be opened exclusively, so the reading program, or whoever reads the document next, has let go
// of it.
class DocumentRelease {
  public:
    // The document the last job wrote (written) or was to write when it could not run at all. An
    // unwritten one that never comes holds the work until the program is restarted.
    void WaitFor(std::string document, bool written);
    void Clear();
    bool waiting() const { return !m_document.empty(); }
    const std::string& document() const { return m_document; }

    enum class State {
        Free,     // nothing to wait for, or the document has been released now
        Waiting,  // still held
        NowInUse  // still held, and the log has just said so for the first time
    };
    // Tests the document once; says in the log when a written document is found in use and when
    // it is released after that.
    State Check(JobObserver& log);

  private:
    bool Blocks() const;

    std::string m_document;
    bool m_written = false;
    bool m_inUseLogged = false;
};

}  // namespace quillrun
