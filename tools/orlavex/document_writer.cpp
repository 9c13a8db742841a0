#include "document_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tesseract/baseapi.h>
#include <tesseract/renderer.h>

#include <cerrno>
#include <cstring>

namespace orlavex {

namespace {

constexpr const char kRendererExtension[] = ".pdf";

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

DocumentWriter::DocumentWriter(std::string documentPath)
    : m_documentPath(std::move(documentPath)) {}

bool DocumentWriter::open(const std::string& dataPath, std::string& error) {
    const std::string& documentPath = m_documentPath;
    // The leading dot keeps the name out of listings and out of every search for documents;
    // the renderer insists on adding ".pdf" itself, so the random part sits before it.
    std::string pattern =
        FolderOf(documentPath) + "/." + NameOf(documentPath) + ".XXXXXX" + kRendererExtension;
    m_descriptor.reset(::mkostemps(pattern.data(), sizeof kRendererExtension - 1, O_CLOEXEC));
    if (!m_descriptor) {
        error = "cannot create a file in the folder " + FolderOf(documentPath) + ": " +
                std::strerror(errno);
        return false;
    }
    m_temporaryPath = pattern;

    // The renderer opens the file by name again and truncates it; the descriptor held here lets
    // finish() check that the name still leads to the file that was created exclusively.
    const std::string base = pattern.substr(0, pattern.size() - (sizeof kRendererExtension - 1));
    m_renderer =
        std::make_unique<tesseract::TessPDFRenderer>(base.c_str(), dataPath.c_str(), false);
    if (!m_renderer->happy() || !m_renderer->BeginDocument(NameOf(documentPath).c_str())) {
        error = "cannot write the document " + documentPath;
        return false;
    }
    return true;
}

DocumentWriter::~DocumentWriter() {
    m_renderer.reset();
    if (!m_committed && !m_temporaryPath.empty()) {
        ::unlink(m_temporaryPath.c_str());
    }
}

bool DocumentWriter::addPage(tesseract::TessBaseAPI& engine) {
    return m_renderer && m_renderer->AddImage(&engine) && m_renderer->happy();
}

bool DocumentWriter::finish(std::string& error) {
    const bool ended = m_renderer && m_renderer->EndDocument() && m_renderer->happy();
    m_renderer.reset();  // closes the renderer's own stream
    struct stat created {};
    struct stat named {};
    if (!ended || ::fstat(m_descriptor.get(), &created) != 0 ||
        ::stat(m_temporaryPath.c_str(), &named) != 0 || created.st_dev != named.st_dev ||
        created.st_ino != named.st_ino || created.st_size == 0) {
        error = "cannot write the document " + m_documentPath;
        return false;
    }
    // mkostemps makes the file private; a document gets the permissions any new file would.
    if (::fchmod(m_descriptor.get(), 0666 & ~CurrentUmask()) != 0 ||
        ::fsync(m_descriptor.get()) != 0 || !m_descriptor.close()) {
        error = "cannot write the document " + m_documentPath + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool DocumentWriter::commit(std::string& error) {
    if (::rename(m_temporaryPath.c_str(), m_documentPath.c_str()) != 0) {
        error =
            "cannot put the document in place as " + m_documentPath + ": " + std::strerror(errno);
        return false;
    }
    m_committed = true;
    return true;
}

}  // namespace orlavex
