#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/scripted_reader.h"

using quillrun::platform::ToUtf8;
using quillrun::platform::ToWide;
using quillrun::platform::UniqueHandle;

namespace scripted_reader {
namespace {

// The exit code of a program that touched memory it may not.
constexpr UINT kAccessViolation = 0xC0000005;

// A holder process started with the document's handle: it keeps the document open until the
// flag exists, whatever became of the reader that started it.
constexpr std::string_view kKeepOpenOption = "--keep-open-until";

std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) {
        arguments.push_back(ToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

UniqueHandle Open(const std::string& path, DWORD access, DWORD disposition, bool inheritable,
                  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, inheritable ? TRUE : FALSE};
    return UniqueHandle(::CreateFileW(ToWide(path).c_str(), access, share, &security, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

int HoldFile(const std::string& path, std::string_view mode, const std::string& ready,
             const std::string& release) {
    // "x": read, and shared with nobody, as a program that keeps a file to itself.
    const UniqueHandle file = mode == "w"   ? Open(path, FILE_APPEND_DATA, OPEN_ALWAYS, false)
                              : mode == "x" ? Open(path, GENERIC_READ, OPEN_EXISTING, false, 0)
                                            : Open(path, GENERIC_READ, OPEN_EXISTING, false);
    if (!file) {
        return 2;
    }
    WriteBytes(ready, "");
    WaitFor(release);
    return 0;
}

int LockFile(const std::string& path, const std::string& ready, const std::string& release) {
    const UniqueHandle file = Open(path, FILE_APPEND_DATA, OPEN_EXISTING, false);
    OVERLAPPED whole{};
    if (!file ||
        !::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        return 2;
    }
    WriteBytes(ready, "");
    WaitFor(release);
    return 0;
}

void Crash() {
    ::TerminateProcess(::GetCurrentProcess(), kAccessViolation);
    ::ExitProcess(kAccessViolation);
}

void SleepForever() {
    for (;;) {
        ::Sleep(INFINITE);
    }
}

void ListDescriptors(const std::string& /*path*/) {
    // Windows programs get no numbered descriptors to list; handles are never inherited.
}

void Tally(const std::string& path, const std::string& input) {
    // FILE_APPEND_DATA alone makes every write land at the end, whoever else appends.
    const UniqueHandle file = Open(path, FILE_APPEND_DATA, OPEN_ALWAYS, false);
    const std::string line = input + "\n";
    DWORD written = 0;
    if (file) {
        ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

bool WaitForFlagWhileParentRuns(const std::string& flag) {
    // Windows keeps no live parent link: find the starter's id once, and hold a handle to it so
    // that its end can be seen (and its id cannot be given to another process meanwhile).
    const DWORD self = ::GetCurrentProcessId();
    DWORD parentId = 0;
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (bool more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) {
            parentId = entry.th32ParentProcessID;
        }
    }
    const UniqueHandle parent(::OpenProcess(SYNCHRONIZE, FALSE, parentId));
    if (!parent) {
        return false;
    }
    for (int i = 0; i < 12000 && !Exists(flag); ++i) {
        if (::WaitForSingleObject(parent.get(), 5) == WAIT_OBJECT_0) {
            return false;
        }
    }
    return ::WaitForSingleObject(parent.get(), 0) == WAIT_TIMEOUT;
}

void Burn(long milliseconds) {
    // Processor time, kernel and user, in units of 100 ns.
    const auto spent = [] {
        FILETIME created, exited, kernel, user;
        ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
        const auto ticks = [](const FILETIME& time) {
            return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
        };
        return ticks(kernel) + ticks(user);
    };
    const std::uint64_t start = spent();
    volatile std::uint64_t sink = 0;
    while (spent() - start < static_cast<std::uint64_t>(milliseconds) * 10'000) {
        for (int i = 0; i < 100000; ++i) {
            sink = sink * 6364136223846793005ULL + 1442695040888963407ULL;
        }
    }
}

void HoldDocumentUntil(const std::string& document, const std::string& flag) {
    const UniqueHandle file = Open(document, GENERIC_READ, OPEN_EXISTING, true);
    std::wstring line = L"\"" + ToWide(Arguments().front()) + L"\" " +
                        ToWide(std::string(kKeepOpenOption)) + L" \"" + ToWide(flag) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION information{};
    if (file && ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &information)) {
        ::CloseHandle(information.hThread);
        ::CloseHandle(information.hProcess);
    }
}

}  // namespace scripted_reader

int main() {
    const std::vector<std::string> arguments = scripted_reader::Arguments();
    if (arguments.size() == 3 && arguments[1] == scripted_reader::kKeepOpenOption) {
        scripted_reader::WaitFor(arguments[2]);
        return 0;
    }
    return scripted_reader::Run(arguments);
}
