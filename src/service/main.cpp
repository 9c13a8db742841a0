// quillrun-service: the conversion engine without a desktop, for systemd or a terminal.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/service_events.h"
#include "platform/this_process.h"
#include "service/job_scheduler.h"
#include "service/page_statistics_csv.h"
#include "service/service_log.h"
#include "service/service_options.h"
#include "service/service_setup.h"

namespace {

using namespace quillrun::service;

constexpr int kExitWorkStopped = 1;
constexpr int kExitRefused = 2;  // a bad command line, or settings that OK would refuse

int Serve(const ServiceSetup& setup, const ServiceOptions& options) {
    // Before any thread starts, so that every thread leaves the stop signals to it.
    quillrun::platform::ServiceEvents events;
    if (!events.isOpen()) {
        std::cerr << "quillrun-service: cannot take over " << quillrun::platform::StopRequestNames()
                  << ".\n";
        return kExitWorkStopped;
    }
    ServiceLog log(setup.settings.writeLog, setup.settings.logPath);
    for (const std::string& notice : setup.notices) {
        log.Write(notice);
    }
    std::optional<PageStatisticsFile> pageStatistics;
    if (!options.pageStatisticsFile.empty()) {
        pageStatistics.emplace(options.pageStatisticsFile, log);
        if (const std::optional<std::string> problem = pageStatistics->Open()) {
            std::cerr << *problem << '\n';
            return kExitRefused;
        }
    }
    const unsigned jobs = options.jobs.value_or(quillrun::platform::ProcessorCount());
    log.Write("Quillrun service started: " + std::to_string(jobs) + (jobs == 1 ? " job" : " jobs") +
              " at once, from " + setup.settings.sourcePath + " to " + setup.settings.destPath +
              ".");
    ServiceEnd end = ServiceEnd::StopRequested;
    {
        JobScheduler scheduler(setup, jobs, events, log,
                               pageStatistics ? &*pageStatistics : nullptr);
        end = scheduler.Run();
    }
    if (end == ServiceEnd::WorkStopped) {
        log.Write("Quillrun service stopped: a job could not run; see the lines above.");
        return kExitWorkStopped;
    }
    log.Write("Quillrun service stopped.");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed =
        ParseServiceOptions(quillrun::platform::ProgramArguments(argc, argv));
    if (!parsed.options) {
        std::cerr << "quillrun-service: " << parsed.error
                  << "\nTry 'quillrun-service --help' for more information.\n";
        return kExitRefused;
    }
    const ServiceOptions& options = *parsed.options;
    if (options.help) {
        std::cout << ServiceUsage();
        return 0;
    }
    const ServiceSetup setup = PrepareService();
    if (options.check) {
        std::cout << DescribeSetup(setup);
        for (const std::string& notice : setup.notices) {
            std::cout << notice << '\n';
        }
        std::cout << std::flush;
    }
    if (setup.problem) {
        // The very words of the dialog's message box.
        std::cerr << *setup.problem << '\n';
        return kExitRefused;
    }
    if (options.check) {
        std::cout << "The settings are fine: the work can start.\n";
        return 0;
    }
    return Serve(setup, options);
}
