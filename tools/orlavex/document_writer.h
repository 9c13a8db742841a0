#pragma once

#include <memory>
#include <string>

#include "platform/unique_fd.h"

namespace tesseract {
class TessBaseAPI;
class TessResultRenderer;
}  // namespace tesseract

namespace orlavex {

// Writes the searchable PDF under an unpredictable temporary name in the document's own folder
// and puts it in place only when it is complete: nobody ever sees half a document, and a failed
// or cancelled run leaves nothing behind. The temporary file is removed when the writer goes
// away uncommitted.
class DocumentWriter {
  public:
    explicit DocumentWriter(std::string documentPath);
    DocumentWriter(const DocumentWriter&) = delete;
    DocumentWriter& operator=(const DocumentWriter&) = delete;
    ~DocumentWriter();

    // Creates the temporary file and starts the PDF; false with error set when the folder does
    // not allow it. dataPath is Tesseract's data folder, which holds the font of the text layer.
    bool open(const std::string& dataPath, std::string& error);

    // Adds the page that the engine has just recognised: its image and the invisible text.
    bool addPage(tesseract::TessBaseAPI& engine);

    // Completes the PDF and makes sure that every byte reached the disk.
    bool finish(std::string& error);

    // Renames the finished document into place.
    bool commit(std::string& error);

    const std::string& temporaryPath() const { return m_temporaryPath; }

  private:
    std::string m_documentPath;
    std::string m_temporaryPath;
    quillrun::platform::UniqueFd m_descriptor;  // holds the temporary file's identity
    std::unique_ptr<tesseract::TessResultRenderer> m_renderer;
    bool m_committed = false;
};

}  // namespace orlavex
