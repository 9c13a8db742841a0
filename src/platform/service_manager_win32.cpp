#include "platform/service_manager.h"

#include <windows.h>

#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/system_error_win32.h"
#include "platform/win32/service_exit.h"
#include "platform/win32/stop_request.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "service_messages.h"

namespace quillrun::platform {
namespace {

// Long enough for the checks of the settings, also on a network share that is slow to answer.
constexpr DWORD kStartWaitHintMs = 30000;
// The reading programs' grace time, with room to spare for the last lines of the log.
constexpr DWORD kStopWaitHintMs = 30000;
constexpr DWORD kAcceptedControls =
    SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN;
// The most characters ReportEventW takes in one string.
constexpr std::size_t kLongestEventText = 31839;

struct EventSourceKind {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Release(Handle handle) { ::DeregisterEventSource(handle); }
};
using UniqueEventSource = UniqueWin32Handle<EventSourceKind>;

struct ServiceHandleKind {
    using Handle = SC_HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Release(Handle handle) { ::CloseServiceHandle(handle); }
};
using UniqueServiceHandle = UniqueWin32Handle<ServiceHandleKind>;

// The account name as the Service Control Manager keeps it; LocalSystem when it keeps none. The
// error is taken at once: closing the handles may change the thread's last error.
std::optional<std::wstring> ServiceStartName(const std::wstring& service, DWORD& error) {
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle handle(
        manager ? ::OpenServiceW(manager.get(), service.c_str(), SERVICE_QUERY_CONFIG) : nullptr);
    DWORD needed = 0;
    if (!handle || (!::QueryServiceConfigW(handle.get(), nullptr, 0, &needed) &&
                    ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!::QueryServiceConfigW(handle.get(), config,
                               static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)),
                               &needed)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    const wchar_t* name = config->lpServiceStartName;
    return name != nullptr && *name != L'\0' ? std::wstring(name) : std::wstring(L"LocalSystem");
}

// LocalSystem is the manager's name, not an account's; ".\" stands for this computer, which
// the lookup wants by name.
std::optional<std::wstring> AccountSid(std::wstring account, DWORD& error) {
    if (::CompareStringOrdinal(account.c_str(), -1, L"LocalSystem", -1, TRUE) == CSTR_EQUAL) {
        return L"S-1-5-18";
    }
    if (account.starts_with(L".\\")) {
        wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        ::GetComputerNameW(computer, &length);
        account.replace(0, 1, computer);
    }
    std::vector<std::uint64_t> sid(SECURITY_MAX_SID_SIZE / sizeof(std::uint64_t) + 1);
    DWORD sidSize = static_cast<DWORD>(sid.size() * sizeof(std::uint64_t));
    wchar_t domain[256] = {};
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    wchar_t* text = nullptr;
    if (!::LookupAccountNameW(nullptr, account.c_str(), sid.data(), &sidSize, domain, &domainSize,
                              &use) ||
        !::ConvertSidToStringSidW(sid.data(), &text)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    std::wstring result(text);
    ::LocalFree(text);
    return result;
}

std::wstring CurrentUserSid() {
    UniqueHandle token;
    std::vector<std::uint64_t> user(64);
    DWORD size = 0;
    wchar_t* text = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !::GetTokenInformation(token.get(), TokenUser, user.data(),
                               static_cast<DWORD>(user.size() * sizeof(std::uint64_t)), &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        return {};
    }
    std::wstring result(text);
    ::LocalFree(text);
    return result;
}

// The file name of the program that started this one, as the system's list of processes has it:
// no process need be opened for it, which a service's account may not do to the system's own.
std::wstring ParentName() {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    std::vector<PROCESSENTRY32W> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        processes.push_back(entry);
    }
    const auto find = [&processes](DWORD id) {
        return std::find_if(processes.begin(), processes.end(),
                            [id](const PROCESSENTRY32W& p) { return p.th32ProcessID == id; });
    };
    const auto self = find(::GetCurrentProcessId());
    const auto parent = self != processes.end() ? find(self->th32ParentProcessID) : self;
    return parent != processes.end() ? parent->szExeFile : L"";
}

// The Service Control Manager (services.exe) starts each service's process itself. Trying its
// dispatcher first is no test: a program started otherwise waits there to connect (ten seconds
// under Wine, which may even hand it another service's start).
bool StartedByServiceManager() {
    return ::CompareStringOrdinal(ParentName().c_str(), -1, L"services.exe", -1, TRUE) ==
           CSTR_EQUAL;
}

// The one service this process runs; its ServiceMain learns of it through g_service, as the
// dispatcher passes it nothing else.
struct RunningService {
    std::wstring name;
    const std::function<int(ServiceManagerLink&)>* program = nullptr;
    SERVICE_STATUS_HANDLE handle = nullptr;
    std::mutex mutex;  // the control handler reports from the dispatcher's thread
    SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
    int exitStatus = 0;

    void Report(DWORD state, DWORD waitHint, ServiceExitReport exit = {}) {
        const std::lock_guard lock(mutex);
        const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
        status.dwCurrentState = state;
        status.dwControlsAccepted = state == SERVICE_RUNNING ? kAcceptedControls : 0;
        status.dwWin32ExitCode = exit.win32ExitCode;
        status.dwServiceSpecificExitCode = exit.serviceSpecificExitCode;
        status.dwCheckPoint = pending ? status.dwCheckPoint + 1 : 0;
        status.dwWaitHint = waitHint;
        ::SetServiceStatus(handle, &status);
    }
};
RunningService* g_service = nullptr;

class ControlManagerLink final : public ServiceManagerLink {
  public:
    ControlManagerLink(RunningService& service, HANDLE eventSource)
        : m_service(service), m_eventSource(eventSource) {}

    void ReportRunning() override { m_service.Report(SERVICE_RUNNING, 0); }

    void Log(ServiceLogEntry entry, const std::string& text) override {
        std::wstring wide = ToWide(text);
        if (wide.size() > kLongestEventText) {
            wide.resize(kLongestEventText);
        }
        const wchar_t* strings[] = {wide.c_str()};
        const bool error =
            entry == ServiceLogEntry::WorkStopped || entry == ServiceLogEntry::Refused;
        // Nobody to tell when the event log refuses the entry: the log file has the line.
        ::ReportEventW(m_eventSource, error ? EVENTLOG_ERROR_TYPE : EVENTLOG_INFORMATION_TYPE, 0,
                       MessageOf(entry), nullptr, 1, 0, strings, nullptr);
    }

  private:
    static DWORD MessageOf(ServiceLogEntry entry) {
        switch (entry) {
            case ServiceLogEntry::Started:
                return MSG_SERVICE_STARTED;
            case ServiceLogEntry::Stopped:
                return MSG_SERVICE_STOPPED;
            case ServiceLogEntry::WorkStopped:
                return MSG_SERVICE_WORK_STOPPED;
            case ServiceLogEntry::Refused:
                break;
        }
        return MSG_SERVICE_REFUSED;
    }

    RunningService& m_service;
    HANDLE m_eventSource;
};

DWORD WINAPI OnServiceControl(DWORD control, DWORD /*type*/, void* /*data*/, void* context) {
    auto& service = *static_cast<RunningService*>(context);
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
        case SERVICE_CONTROL_PRESHUTDOWN:
            service.Report(SERVICE_STOP_PENDING, kStopWaitHintMs);
            RequestStop();
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// Ends the process without reporting SERVICE_STOPPED, which the recovery actions answer.
[[noreturn]] void EndForRestart(int exitStatus) {
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(exitStatus));
}

void WINAPI ServiceMain(DWORD /*argc*/, wchar_t** /*argv*/) {
    RunningService& service = *g_service;
    service.handle =
        ::RegisterServiceCtrlHandlerExW(service.name.c_str(), OnServiceControl, &service);
    if (service.handle == nullptr) {
        EndForRestart(1);
    }
    service.Report(SERVICE_START_PENDING, kStartWaitHintMs);
    int exitStatus = 0;
    {
        const UniqueEventSource eventSource(::RegisterEventSourceW(nullptr, service.name.c_str()));
        ControlManagerLink manager(service, eventSource.get());
        exitStatus = (*service.program)(manager);
    }
    const ServiceExitReport exit = ServiceExitReportFor(exitStatus);
    if (!exit.reportStopped) {
        EndForRestart(exitStatus);
    }
    service.exitStatus = exitStatus;
    service.Report(SERVICE_STOPPED, 0, exit);
}

// Texts are UTF-8 inside: the console shows them so while the program runs, and gets its own code
// page back afterwards.
int RunInConsole(const std::function<int(ServiceManagerLink&)>& program) {
    const UINT codePage = ::GetConsoleOutputCP();
    if (codePage != 0) {
        ::SetConsoleOutputCP(CP_UTF8);
    }
    NoServiceManager manager;
    const int exitStatus = program(manager);
    if (codePage != 0) {
        ::SetConsoleOutputCP(codePage);
    }
    return exitStatus;
}

}  // namespace

ServiceExitReport ServiceExitReportFor(int exitStatus) {
    if (exitStatus == 0) {
        return {};
    }
    if (exitStatus == 1) {
        return {.reportStopped = false};
    }
    return {true, ERROR_SERVICE_SPECIFIC_ERROR, static_cast<DWORD>(exitStatus)};
}

ServiceAccountLookup FindServiceAccount(std::string_view name) {
    DWORD error = ERROR_SUCCESS;
    const std::optional<std::wstring> account = ServiceStartName(ToWide(name), error);
    const std::optional<std::wstring> sid = account ? AccountSid(*account, error) : std::nullopt;
    if (!sid) {
        return {std::nullopt, SystemErrorFromWin32(error)};
    }
    return {ServiceAccount{ToUtf8(*account), ToUtf8(*sid), *sid == CurrentUserSid()}, {}};
}

int RunService(std::string_view name, const std::function<int(ServiceManagerLink&)>& program) {
    if (!StartedByServiceManager()) {
        return RunInConsole(program);
    }
    RunningService service;
    service.name = ToWide(name);
    service.program = &program;
    g_service = &service;
    const SERVICE_TABLE_ENTRYW table[] = {{service.name.data(), ServiceMain}, {nullptr, nullptr}};
    if (!::StartServiceCtrlDispatcherW(table)) {
        // A parent that only bears the name: a program of a console after all.
        if (::GetLastError() == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
            return RunInConsole(program);
        }
        return 1;  // no console to say so, and no service manager to report to
    }
    return service.exitStatus;
}

}  // namespace quillrun::platform
