#include <windows.h>

#include <stdexcept>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

// The helpers' arguments hold no double quotes; quoting each keeps blanks inside it.
std::wstring CommandLineOf(const std::vector<std::string>& arguments) {
    std::wstring line;
    for (const std::string& argument : arguments) {
        line += (line.empty() ? L"\"" : L" \"") + platform::ToWide(argument) + L"\"";
    }
    return line;
}

}  // namespace

struct BackgroundProcess::Child {
    platform::UniqueHandle process;
    DWORD id = 0;
};

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& arguments, Console console)
    : m_child(std::make_unique<Child>()) {
    std::wstring line = CommandLineOf(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION information{};
    const DWORD flags[] = {0, DETACHED_PROCESS, CREATE_NEW_CONSOLE};  // in Console's order
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                          flags[static_cast<int>(console)], nullptr, nullptr, &startup,
                          &information)) {
        throw std::runtime_error("cannot start " + arguments.front());
    }
    ::CloseHandle(information.hThread);
    m_child->process.reset(information.hProcess);
    m_child->id = information.dwProcessId;
}

BackgroundProcess::~BackgroundProcess() {
    if (m_child->process) {
        ::TerminateProcess(m_child->process.get(), 1);
        wait();
    }
}

std::uint64_t BackgroundProcess::pid() const {
    return m_child->id;
}

int BackgroundProcess::wait() {
    DWORD status = 0;
    if (m_child->process) {
        ::WaitForSingleObject(m_child->process.get(), INFINITE);
        ::GetExitCodeProcess(m_child->process.get(), &status);
        m_child->process.reset();
    }
    return static_cast<int>(status);
}

}  // namespace quillrun::test
