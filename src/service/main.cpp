// quillrun-service: the conversion engine without a desktop, for systemd, Windows' Service
// Control Manager, a terminal or a console.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/service_events.h"
#include "platform/service_manager.h"
#include "platform/this_process.h"
#include "service/job_scheduler.h"
#include "service/metrics_server.h"
#include "service/page_statistics_csv.h"
#include "service/service_log.h"
#include "service/service_options.h"
#include "service/service_setup.h"
#include "service/settings_import.h"

namespace {

using namespace quillrun::service;
using quillrun::platform::ServiceLogEntry;
using quillrun::platform::ServiceManagerLink;

constexpr int kExitWorkStopped = 1;
constexpr int kExitRefused = 2;  // a bad command line, or settings that OK would refuse

// What ends the service is said on standard error and in the system's log.
int Refuse(const std::string& problem, ServiceManagerLink& manager) {
    std::cerr << problem << '\n';
    manager.Log(ServiceLogEntry::Refused, problem);
    return kExitRefused;
}

int Serve(const ServiceSetup& setup, const ServiceOptions& options, ServiceManagerLink& manager) {
    // Before any thread starts, so that every thread leaves the stop signals to it.
    quillrun::platform::ServiceEvents events;
    if (!events.isOpen()) {
        const std::string problem = "quillrun-service: cannot take over " +
                                    std::string(quillrun::platform::StopRequestNames()) + ".";
        std::cerr << problem << '\n';
        manager.Log(ServiceLogEntry::WorkStopped, problem);
        return kExitWorkStopped;
    }
    // Its threads start after the events exist, so that they leave the stop signals alone.
    ServedMetrics metrics;
    if (!options.metricsAddress.empty()) {
        metrics = ServeMetrics(options.metricsAddress);
        if (!metrics.server) {
            return Refuse("quillrun-service: " + metrics.error, manager);
        }
    }
    ServiceLog log(setup.settings.writeLog, setup.settings.logPath);
    for (const std::string& notice : setup.notices) {
        log.Write(notice);
    }
    std::optional<PageStatisticsFile> pageStatistics;
    if (!options.pageStatisticsFile.empty()) {
        pageStatistics.emplace(options.pageStatisticsFile, log);
        if (const std::optional<std::string> problem = pageStatistics->Open()) {
            return Refuse(*problem, manager);
        }
    }
    if (metrics.server) {
        metrics.server->StartUpPassed();
    }
    const unsigned jobs = options.jobs.value_or(quillrun::platform::ProcessorCount());
    const std::string started = "Quillrun service started: " + std::to_string(jobs) +
                                (jobs == 1 ? " job" : " jobs") + " at once, from " +
                                setup.settings.sourcePath + " to " + setup.settings.destPath + ".";
    log.Write(started);
    manager.ReportRunning();
    manager.Log(ServiceLogEntry::Started, started);
    quillrun::ClaimTiming claimTiming;
    if (options.claimExpiry) {
        claimTiming.abandonedAfter = *options.claimExpiry;
    }
    ServiceEnd end = ServiceEnd::StopRequested;
    std::string workStoppedReason;
    {
        JobScheduler scheduler(setup, jobs, events, log,
                               pageStatistics ? &*pageStatistics : nullptr, claimTiming,
                               metrics.server ? &metrics.server->observer() : nullptr);
        end = scheduler.Run();
        workStoppedReason = scheduler.workStoppedReason();
    }
    if (end == ServiceEnd::WorkStopped) {
        log.Write("Quillrun service stopped: a job could not run; see the lines above.");
        // The system's log has no lines above: the entry carries the job's own.
        manager.Log(ServiceLogEntry::WorkStopped,
                    "Quillrun service stopped: a job could not run.\r\n" + workStoppedReason);
        return kExitWorkStopped;
    }
    log.Write("Quillrun service stopped.");
    manager.Log(ServiceLogEntry::Stopped, "Quillrun service stopped.");
    return 0;
}

int RunProgram(const std::vector<std::string>& arguments, ServiceManagerLink& manager) {
    const ParsedOptions parsed = ParseServiceOptions(arguments);
    if (!parsed.options) {
        std::cerr << "quillrun-service: " << parsed.error
                  << "\nTry 'quillrun-service --help' for more information.\n";
        manager.Log(ServiceLogEntry::Refused, "quillrun-service: " + parsed.error);
        return kExitRefused;
    }
    const ServiceOptions& options = *parsed.options;
    if (options.help) {
        std::cout << ServiceUsage();
        return 0;
    }
    if (options.importSettings) {
        const ImportResult imported = ImportSettings();
        (imported.done ? std::cout : std::cerr) << imported.message << '\n';
        return imported.done ? 0 : kExitWorkStopped;
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
        return Refuse(*setup.problem, manager);
    }
    if (options.check) {
        std::cout << "The settings are fine: the work can start.\n";
        return 0;
    }
    return Serve(setup, options, manager);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = quillrun::platform::ProgramArguments(argc, argv);
    return quillrun::platform::RunService(
        kSystemServiceName,
        [&arguments](ServiceManagerLink& manager) { return RunProgram(arguments, manager); });
}
