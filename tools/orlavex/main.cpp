// orlavex: recognises the text of scanned images and writes searchable PDF documents, as the
// reading program that Quillrun runs once per image.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cancellation.h"
#include "conversion.h"
#include "options.h"
#include "page_source.h"
#include "registration.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char kUsage[] =
    "usage: orlavex -in:IMAGE -out:DOCUMENT [-stat:STATISTICS] [options] [-x]\n"
    "       orlavex -register\n"
    "options: -d -2page -autorotate -rotate0 -despeckle -nodespeckle -deskew -nodeskew\n"
    "         -lang:eng+deu -jobs:N -nomessage -user:NAME -pwd:PASSWORD\n";

// Tesseract's recognition spreads small inner loops over OpenMP threads that spin while they
// wait. On a desktop that is busy with other work that costs about five times the processor time
// for no gain and, measured on two cores, three times the time per page; Tesseract's own
// maintainers advise one thread per process. The limit is read when the OpenMP runtime loads,
// before main, so the program starts itself afresh with it; a limit the user set is kept.
void LimitRecognitionThreads(char** argv) {
    if (std::getenv("OMP_THREAD_LIMIT") != nullptr || ::setenv("OMP_THREAD_LIMIT", "1", 1) != 0) {
        return;
    }
    ::execv("/proc/self/exe", argv);
    // Without /proc the program simply runs with the library's own thread count.
}

void Report(const std::string& text) {
    std::fprintf(stderr, "orlavex: %s\n", text.c_str());
}

int RunRegistration() {
    std::string path;
    std::string error;
    if (!orlavex::RegisterThisProgram(path, error)) {
        Report(error);
        return kExitFailure;
    }
    std::printf("orlavex: registered %s\n", path.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    LimitRecognitionThreads(argv);
    // Installed before anything is created, so that no temporary file can outlive a Stop.
    orlavex::InstallCancellationHandlers();

    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const orlavex::ParsedArguments parsed = orlavex::ParseArguments(arguments);
    if (!parsed.ok()) {
        Report(parsed.error);
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (parsed.command == orlavex::Command::Register) {
        return RunRegistration();
    }

    if (parsed.options.quiet) {
        orlavex::SilenceLibraryMessages();
    }
    const orlavex::ConversionResult result = orlavex::Convert(parsed.options);
    switch (result.outcome) {
        case orlavex::Outcome::Written:
            if (!result.warning.empty()) {
                Report(result.warning);
            }
            return 0;
        case orlavex::Outcome::Cancelled:
            orlavex::EndAsCancelled();
        case orlavex::Outcome::Failed:
            break;
    }
    Report(result.error + "; no document was written");
    return kExitFailure;
}
