// quillrun-service.exe as users run it on Windows: started by the Service Control Manager with
// the settings the dialog saved and the scripted reading program registered in the machine's
// App Paths, and from a console of its own. Under Wine every service runs as the prefix's one
// user, so the service reads the settings this test saves; it runs in the test harness's prefix
// and removes what it registers. Wine keeps no event log: its trace of ReportEventW, which the
// harness collects from the system's processes, stands in for Event Viewer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

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
using UniqueService =
    std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, decltype(&::CloseServiceHandle)>;

constexpr int kLongWaitMs = 60000;

bool EventLogged(const std::string& level, const std::string& text) {
    const char* trace = std::getenv("QUILLRUN_WINE_SYSTEM_LOG");
    if (trace == nullptr) {
        return true;  // not under the harness: Event Viewer is the place to look
    }
    return ReadFile(trace).find(level + ":eventlog:ReportEventW L\"" + text) != std::string::npos;
}

int Lines(const std::string& text) {
    std::istringstream in(text);
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

void SetReader(const std::string& path) {
    platform::UniqueRegistryKey key;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, ToWide(kReaderRegistrationKey).c_str(), 0, nullptr, 0,
                      KEY_WRITE, nullptr, key.put(), nullptr);
    const std::wstring value = ToWide(path);
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The program in a console of its own, as from a command prompt; Ctrl+C is typed into it.
class ConsoleProgram {
  public:
    explicit ConsoleProgram(const std::string& path) {
        std::wstring line = L"\"" + ToWide(path) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                             nullptr, nullptr, &startup, &started)) {
            ::CloseHandle(started.hThread);
            m_process.reset(started.hProcess);
            m_id = started.dwProcessId;
        }
    }
    ~ConsoleProgram() {
        if (m_process) {
            ::TerminateProcess(m_process.get(), 1);
            ::WaitForSingleObject(m_process.get(), INFINITE);
        }
    }

    // Ctrl+C reaches every program attached to the console; this one ignores it meanwhile.
    DWORD interrupt() {
        ::FreeConsole();
        ::AttachConsole(m_id);
        ::SetConsoleCtrlHandler(nullptr, TRUE);
        ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        ::FreeConsole();
        DWORD code = STILL_ACTIVE;
        if (::WaitForSingleObject(m_process.get(), kLongWaitMs) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(m_process.get(), &code);
            m_process.reset();
        }
        ::SetConsoleCtrlHandler(nullptr, FALSE);
        return code;
    }

  private:
    platform::UniqueHandle m_process;
    DWORD m_id = 0;
};

class ServiceWin32 : public ::testing::Test {
  protected:
    ServiceWin32()
        : source(tree.makeFolder("in")),
          destination(tree.makeFolder("out")),
          tally(tree.path("tally.txt")),
          flag(tree.path("go")),
          manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), &::CloseServiceHandle),
          service(nullptr, &::CloseServiceHandle) {
        SetReader(SCRIPTED_READER_PATH);
        settings.sourcePath = source;
        settings.destPath = destination;
        settings.logPath = tree.path("activity.log");
    }
    ~ServiceWin32() override {
        uninstall();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(kSettingsKeyPath).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ToWide(kReaderRegistrationKey).c_str());
    }

    // A service of a name of its own, so that one Wine never saw end cannot stand in the way.
    void install(const std::string& arguments = "") {
        uninstall();
        static int services = 0;
        name = "QuillrunTest" + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(++services);
        const std::wstring binary =
            L"\"" + ToWide(HelperProgramPath("quillrun-service.exe")) + L"\"" + ToWide(arguments);
        service.reset(::CreateServiceW(manager.get(), ToWide(name).c_str(), nullptr,
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binary.c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(service) << ::GetLastError();
    }
    void uninstall() {
        if (service) {
            SERVICE_STATUS ignored{};
            ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored);
            ::DeleteService(service.get());
            service.reset();
        }
    }
    void saveSettings(const std::string& readerOptions) {
        settings.commandArgs =
            std::string(kDefaultCommandArgs) + " --tally=" + tally + readerOptions;
        SaveSettings(settings);
    }
    // As an administrator types it. Windows' net waits until the service has started or
    // stopped; Wine's net stop returns once it has asked.
    void net(const std::string& command) const {
        platform::RunProgram("net " + command + " " + name);
        const DWORD state = command == "start" ? SERVICE_START_PENDING : SERVICE_STOP_PENDING;
        EXPECT_TRUE(WaitUntil([&] { return status().dwCurrentState != state; }, kLongWaitMs));
    }
    SERVICE_STATUS_PROCESS status() const {
        SERVICE_STATUS_PROCESS status{};
        DWORD size = 0;
        ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof status, &size);
        return status;
    }
    std::vector<std::string> destinationFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination)) {
            files.push_back(platform::ToUtf8(entry.path().wstring()));
        }
        return files;
    }

    TempTree tree;
    Settings settings;
    const std::string source;
    const std::string destination;
    const std::string tally;
    const std::string flag;
    UniqueService manager;
    UniqueService service;
    std::string name;
};

TEST_F(ServiceWin32, AStopDuringAJobLeavesTheImageForTheNextStartWhichConvertsIt) {
    saveSettings(" --wait-for=" + flag);
    const std::string image = tree.writeFile("in/page.tif");
    const std::string document = destination + "\\page.orx";
    install();
    std::unique_ptr<ConsoleProgram> console;
    const struct {
        const char* way;
        std::function<void()> start;
        std::function<DWORD()> stop;
    } ways[] = {
        {"net stop", [&] { net("start"); },
         [&] {
             net("stop");
             return status().dwWin32ExitCode;
         }},
        {"Ctrl+C in its console",
         [&] {
             console = std::make_unique<ConsoleProgram>(HelperProgramPath("quillrun-service.exe"));
         },
         [&] { return console->interrupt(); }},
    };
    int starts = 0;
    for (const auto& way : ways) {
        way.start();
        ++starts;
        ASSERT_TRUE(WaitUntil(
            [&] { return Lines(ReadFile(tally)) == starts && Exists(destination + "\\page.clm"); },
            kLongWaitMs))
            << way.way;
        EXPECT_EQ(way.stop(), 0u) << way.way;
        EXPECT_EQ(destinationFiles(), std::vector<std::string>{})
            << way.way << ReadFile(settings.logPath);
    }
    EXPECT_EQ(status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    const std::string left = image + " is left for the next start";
    const std::string log = ReadFile(settings.logPath);
    EXPECT_NE(log.find(left), log.rfind(left)) << log;

    WriteFile(flag, "", false);
    net("start");
    ASSERT_TRUE(
        WaitUntil([&] { return destinationFiles().size() == 1 && Exists(document); }, kLongWaitMs));
    net("stop");
    EXPECT_EQ(status().dwWin32ExitCode, static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(Lines(ReadFile(tally)), 3);
    EXPECT_NE(ReadFile(settings.logPath).find(document + " has been created."), std::string::npos);
    EXPECT_TRUE(EventLogged("trace", "Quillrun service stopped."));
}

// What a restart cannot mend is reported as the service-specific error 2, which the recovery
// actions leave alone; after a job that could not run the process ends without reporting its
// stop, which they answer by starting it again (Wine has no recovery, and takes no note).
TEST_F(ServiceWin32, HowItEndsIsWhatTheServiceManagerAndTheEventLogHear) {
    std::string readerOptions;
    const struct {
        const char* name;
        std::string arguments;
        std::function<void()> arrange;
        bool reportsStop;
        DWORD processExit;
        std::string entry;  // its start
    } cases[] = {
        {"settings OK refuses", "", [&] { settings.sourcePath.clear(); }, true, 0,
         kNoSourceMessage},
        {"a bad command line", " --watch", [] {}, true, 0,
         "quillrun-service: unknown option --watch."},
        {"the destination hierarchy gone", " --jobs 1",
         [&] {
             tree.writeFile("in/page.tif");
             readerOptions = " --remove-out-folder";
         },
         false, 1, "Quillrun service stopped: a job could not run."},
    };
    const Settings accepted = settings;
    for (const auto& c : cases) {
        settings = accepted;
        c.arrange();
        saveSettings(readerOptions);
        install(c.arguments);
        ::StartServiceW(service.get(), 0, nullptr);
        const platform::UniqueHandle process(::OpenProcess(
            SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, status().dwProcessId));
        if (c.reportsStop) {
            ASSERT_TRUE(
                WaitUntil([&] { return status().dwCurrentState == SERVICE_STOPPED; }, kLongWaitMs))
                << c.name;
            EXPECT_EQ(status().dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR))
                << c.name;
            EXPECT_EQ(status().dwServiceSpecificExitCode, 2u) << c.name;
        } else {
            ASSERT_TRUE(process) << c.name;
            EXPECT_EQ(::WaitForSingleObject(process.get(), kLongWaitMs),
                      static_cast<DWORD>(WAIT_OBJECT_0));
            DWORD exitCode = 0;
            ::GetExitCodeProcess(process.get(), &exitCode);
            EXPECT_EQ(exitCode, c.processExit) << c.name;
            EXPECT_NE(status().dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
        }
        EXPECT_TRUE(EventLogged("err", c.entry)) << c.name;
    }
}

}  // namespace
}  // namespace quillrun::test
