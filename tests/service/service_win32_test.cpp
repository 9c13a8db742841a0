// quillrun-service.exe run by the Service Control Manager (as the prefix's one user, in Wine) and
// from a console, with the settings and the scripted reader in the prefix's registry. Wine keeps
// no event log: the harness collects the trace of ReportEventW, which stands in for it here.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "hive/hive.h"
#include "platform/process.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "registration/reader_registration.h"
#include "settings/settings_check.h"
#include "settings/settings_store.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

using platform::ToWide;
using Service = std::unique_ptr<SC_HANDLE__, decltype(&::CloseServiceHandle)>;

bool EventLogged(const std::string& level, const std::string& text) {
    const char* trace = std::getenv("QUILLRUN_WINE_SYSTEM_LOG");
    return trace == nullptr ||  // elsewhere, Event Viewer is the place to look
           ReadFile(trace).find(level + ":eventlog:ReportEventW L\"" + text) != std::string::npos;
}

// Ctrl+C reaches every program attached to the console: this one too, which ignores it.
int TypeCtrlC(BackgroundProcess& program) {
    ::FreeConsole();
    ::AttachConsole(static_cast<DWORD>(program.pid()));
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    ::FreeConsole();
    return program.wait();
}

class ServiceWin32 : public ::testing::Test {
  protected:
    ServiceWin32() {
        hive::WriteMachineDefaultValue(kReaderRegistrationKey, SCRIPTED_READER_PATH);
        settings.sourcePath = tree.makeFolder("in");
        settings.destPath = tree.makeFolder("out");
        settings.logPath = tree.path("activity.log");
    }
    ~ServiceWin32() override {
        uninstall();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(kSettingsKeyPath).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ToWide(kReaderRegistrationKey).c_str());
    }

    // Under a name of its own each time: a service that Wine never saw end stays registered.
    void install(const std::string& readerOptions, const std::string& arguments = "") {
        uninstall();
        settings.commandArgs =
            std::string(kDefaultCommandArgs) + " --tally=" + tally + readerOptions;
        SaveSettings(settings);
        static int installed = 0;
        name = "QuillrunTest" + std::to_string(::GetCurrentProcessId() * 100 + ++installed);
        sc("create " + name + " binPath= \"\\\"" + service + "\\\"" + arguments + "\"");
    }
    void uninstall() {
        sc("stop " + name);
        sc("delete " + name);
    }
    static void sc(const std::string& command) { platform::RunProgram("sc " + command); }
    // Wine's net stop returns before the service has stopped.
    void net(const std::string& command, DWORD pending) const {
        platform::RunProgram("net " + command + " " + name);
        EXPECT_TRUE(WaitUntil([&] { return status().dwCurrentState != pending; }));
    }
    SERVICE_STATUS_PROCESS status() const {
        const Service manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT),
                              &::CloseServiceHandle);
        const Service service(
            ::OpenServiceW(manager.get(), ToWide(name).c_str(), SERVICE_ALL_ACCESS),
            &::CloseServiceHandle);
        SERVICE_STATUS_PROCESS status{};
        DWORD size = 0;
        ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof status, &size);
        return status;
    }
    long readerStarts() const {
        const std::string lines = ReadFile(tally);
        return std::count(lines.begin(), lines.end(), '\n');
    }

    TempTree tree;
    Settings settings;
    const std::string tally = tree.path("tally.txt");
    const std::string service = HelperProgramPath("quillrun-service.exe");
    std::string name;
};

TEST_F(ServiceWin32, AStopDuringAJobLeavesTheImageForTheNextStartWhichConvertsIt) {
    const std::string flag = tree.path("go");
    tree.writeFile("in/page.tif");
    const std::string document = settings.destPath + "\\page.orx";
    const std::string claim = settings.destPath + "\\page.clm";
    install(" --wait-for=" + flag);
    for (const bool fromConsole : {false, true}) {  // net stop, or Ctrl+C in its console
        std::optional<BackgroundProcess> console;
        const long starts = readerStarts();
        if (fromConsole) {
            console.emplace(std::vector{service}, Console::Own);
        } else {
            net("start", SERVICE_START_PENDING);
        }
        ASSERT_TRUE(WaitUntil([&] { return readerStarts() > starts; }));
        EXPECT_TRUE(Exists(claim));
        if (fromConsole) {
            EXPECT_EQ(TypeCtrlC(*console), 0);
        } else {
            net("stop", SERVICE_STOP_PENDING);
            EXPECT_EQ(status().dwWin32ExitCode, static_cast<DWORD>(NO_ERROR));
        }
        EXPECT_TRUE(std::filesystem::is_empty(FsPath(settings.destPath))) << fromConsole;
    }
    WriteFile(flag, "", false);
    net("start", SERVICE_START_PENDING);
    ASSERT_TRUE(WaitUntil([&] { return Exists(document) && !Exists(claim); }));
    net("stop", SERVICE_STOP_PENDING);
    EXPECT_TRUE(EventLogged("trace", "Quillrun service stopped."));
}

// What a restart cannot mend is reported as the service-specific error 2, which the recovery
// actions leave alone; after a job that could not run, the process ends with 1 without reporting
// its stop, which they answer by starting it again (Wine neither notices nor restarts it).
TEST_F(ServiceWin32, HowItEndsIsWhatTheServiceManagerAndTheEventLogAreTold) {
    const std::string source = settings.sourcePath;
    tree.writeFile("in/page.tif");
    const struct {
        std::string sourcePath, readerOptions, arguments;
        DWORD exitStatus;
        std::string entry;  // the start of its event log entry
    } cases[] = {
        {"", "", "", 2, kNoSourceMessage},
        {source, "", " --watch", 2, "quillrun-service: unknown option --watch."},
        {source, " --remove-out-folder", " --jobs 1", 1,
         "Quillrun service stopped: a job could not run."},
    };
    for (const auto& c : cases) {
        settings.sourcePath = c.sourcePath;
        install(c.readerOptions, c.arguments);
        net("start", SERVICE_START_PENDING);
        const platform::UniqueHandle process(::OpenProcess(
            SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, status().dwProcessId));
        DWORD exitStatus = 2;  // a process that reported its stop may have ended already
        if (process && ::WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process.get(), &exitStatus);
        }
        EXPECT_EQ(exitStatus, c.exitStatus) << c.entry;
        const SERVICE_STATUS_PROCESS ended = status();
        EXPECT_EQ(ended.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR, c.exitStatus == 2);
        EXPECT_EQ(ended.dwServiceSpecificExitCode, c.exitStatus == 2 ? 2u : 0u) << c.entry;
        EXPECT_TRUE(EventLogged("err", c.entry)) << c.entry;
    }
}

}  // namespace
}  // namespace quillrun::test
