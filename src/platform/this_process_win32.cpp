#include "platform/this_process.h"

#include <windows.h>

#include <sddl.h>
#include <shellapi.h>
#include <winternl.h>

#include <bit>
#include <cstdio>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

// Not in the SDK's list: the boot environment, whose first member is an identifier the system
// draws afresh at every start.
constexpr auto kSystemBootEnvironmentInformation = static_cast<SYSTEM_INFORMATION_CLASS>(90);

struct BootEnvironment {
    GUID bootIdentifier;
    DWORD firmwareType;
    ULONGLONG bootFlags;
};

std::uint64_t TicksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string HostName() {
    wchar_t name[256] = {};
    DWORD length = static_cast<DWORD>(std::size(name));
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &length)) {
        return {};
    }
    return ToUtf8(std::wstring_view(name, length));
}

// The identity Windows gives an installation, kept in the 64-bit view of the registry.
std::string MachineGuid() {
    wchar_t guid[64] = {};
    DWORD size = sizeof guid;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                       RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, guid,
                       &size) != ERROR_SUCCESS) {
        return {};
    }
    return ToUtf8(guid);
}

// This run of the machine. The boot identifier stays what it was when the clock is set; the
// boot time, which older systems (and Wine) give instead, moves with every setting of the clock,
// after which a claim of this boot would be taken for one of an earlier boot. The two are kept
// apart by their prefix.
std::string BootIdentity() {
    BootEnvironment environment{};
    ULONG length = 0;
    if (NT_SUCCESS(::NtQuerySystemInformation(kSystemBootEnvironmentInformation, &environment,
                                              sizeof environment, &length))) {
        const GUID& id = environment.bootIdentifier;
        char text[64];
        std::snprintf(text, sizeof text, "id:%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                      id.Data1, id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                      id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
        return text;
    }
    SYSTEM_TIMEOFDAY_INFORMATION timeOfDay{};
    if (NT_SUCCESS(::NtQuerySystemInformation(SystemTimeOfDayInformation, &timeOfDay,
                                              sizeof timeOfDay, &length))) {
        return "time:" + std::to_string(timeOfDay.BootTime.QuadPart);
    }
    return {};
}

// Process ids are the machine's, but a process of another user can be neither asked for its
// start time nor told apart from a newer one with its id. Claims of another user's instances
// are therefore judged by their age, as those of another machine are.
std::string UserScope() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    wchar_t* sid = nullptr;
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
        return {};
    }
    std::string scope = "user:" + ToUtf8(sid);
    ::LocalFree(sid);
    return scope;
}

}  // namespace

ProcessIdentity ThisProcess() {
    ProcessIdentity identity;
    identity.host = HostName();
    identity.machine = MachineGuid();
    identity.boot = BootIdentity();
    identity.scope = UserScope();
    identity.pid = ::GetCurrentProcessId();
    FILETIME created{}, exited{}, kernel{}, user{};
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        identity.started = TicksOf(created);
    }
    return identity;
}

bool IsProcessRunning(std::uint64_t pid, std::uint64_t started) {
    if (pid == 0 || pid > MAXDWORD) {
        return false;
    }
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                             static_cast<DWORD>(pid)));
    if (!process) {
        // Denied: a process with this id runs, though not one this user may look at.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    FILETIME created{}, exited{}, kernel{}, user{};
    // An ended process stays open to whoever holds a handle to it; it has ended all the same.
    return ::GetProcessTimes(process.get(), &created, &exited, &kernel, &user) &&
           TicksOf(created) == started && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

std::string ProcessName(std::uint64_t pid) {
    if (pid == 0 || pid > MAXDWORD) {
        return {};
    }
    const UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    std::wstring path(32768, L'\0');
    auto size = static_cast<DWORD>(path.size());
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) {
        return {};
    }
    path.resize(size);
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) {
        name.resize(name.size() - 4);
    }
    return ToUtf8(name);
}

unsigned ProcessorCount() {
    DWORD_PTR allowed = 0, system = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &allowed, &system) && allowed != 0) {
        return static_cast<unsigned>(std::popcount(static_cast<std::uint64_t>(allowed)));
    }
    const DWORD active = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return active > 0 ? active : 1u;
}

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(ToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace quillrun::platform
