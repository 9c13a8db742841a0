#include "conversion.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "cancellation.h"
#include "page_pipeline.h"
#include "page_source.h"
#include "page_work.h"
#include "platform/file_system.h"
#include "platform/unique_fd.h"

namespace orlavex {

namespace {

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CheckInput(const Options& options, std::string& error) {
    const quillrun::platform::UniqueFd input(
        ::open(options.inputPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!input || ::fstat(input.get(), &status) != 0) {
        error = "cannot read the image " + options.inputPath + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "the image " + options.inputPath + " is not a file";
        return false;
    }
    // Writing over the image would destroy it before it was read, and -d would then delete
    // the document.
    if (IsSameFile(options.inputPath, options.outputPath)) {
        error = "the document would replace the image " + options.inputPath;
        return false;
    }
    if (!options.statisticsPath.empty() &&
        (IsSameFile(options.inputPath, options.statisticsPath) ||
         IsSameFile(options.outputPath, options.statisticsPath) ||
         options.statisticsPath == options.outputPath)) {
        error = "the statistics file would replace the image or the document";
        return false;
    }
    return true;
}

Outcome ConvertInput(const Options& options, std::string& error) {
    if (!CheckInput(options, error)) {
        return Outcome::Failed;
    }
    const std::unique_ptr<PageSource> source = OpenPageSource(options.inputPath, error);
    if (!source) {
        error = options.inputPath + ": " + error;
        return Outcome::Failed;
    }
    PagePipeline pipeline(options);
    if (!pipeline.start(source->imageCount(), error)) {
        return Outcome::Failed;
    }
    // Starting the engines takes a moment; a Stop that came meanwhile creates no file.
    if (CancellationRequested()) {
        return Outcome::Cancelled;
    }
    PageWork work(options);
    if (!work.open(pipeline.dataPath(), error)) {
        return Outcome::Failed;
    }
    if (CancellationRequested()) {
        return Outcome::Cancelled;
    }
    const Outcome outcome = pipeline.run(*source, work, error);
    if (outcome != Outcome::Written) {
        return outcome;
    }
    return work.complete(error);
}

}  // namespace

ConversionResult Convert(const Options& options) {
    ConversionResult result;
    result.outcome = ConvertInput(options, result.error);
    if (result.outcome == Outcome::Written && options.deleteInput &&
        !quillrun::platform::RemoveFile(options.inputPath)) {
        result.warning = "the document was written, but the image " + options.inputPath +
                         " could not be deleted: " + std::strerror(errno);
    }
    return result;
}

}  // namespace orlavex
