#include "platform/this_process.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>

namespace quillrun::platform {
namespace {

std::string FirstLineOf(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

struct ProcessStatus {
    char state = '?';
    std::uint64_t started = 0;
};

// /proc/PID/stat: "pid (name) state ppid ... starttime ...", where the name may itself hold
// blanks and parentheses, so the fields are counted from the last ')'. The start time is the
// 22nd field, in clock ticks since the machine booted.
std::optional<ProcessStatus> ReadProcessStatus(std::uint64_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(text.substr(nameEnd + 1));
    ProcessStatus status;
    fields >> status.state;
    std::string skipped;
    for (int field = 4; field < 22 && fields >> skipped; ++field) {
    }
    if (!(fields >> status.started)) {
        return std::nullopt;
    }
    return status;
}

std::string HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

// The namespace's link reads "pid:[4026531836]".
std::string PidNamespace() {
    char target[64] = {};
    const ssize_t length = ::readlink("/proc/self/ns/pid", target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

ProcessIdentity ThisProcess() {
    ProcessIdentity identity;
    identity.host = HostName();
    identity.machine = FirstLineOf("/etc/machine-id");
    identity.boot = FirstLineOf("/proc/sys/kernel/random/boot_id");
    identity.scope = PidNamespace();
    identity.pid = static_cast<std::uint64_t>(::getpid());
    if (const auto status = ReadProcessStatus(identity.pid)) {
        identity.started = status->started;
    }
    return identity;
}

bool IsProcessRunning(std::uint64_t pid, std::uint64_t started) {
    const std::optional<ProcessStatus> status = ReadProcessStatus(pid);
    // Z: ended, not yet waited for; X: being removed.
    return status && status->started == started && status->state != 'Z' && status->state != 'X';
}

std::string ProcessName(std::uint64_t pid) {
    // The name stands between the first '(' and the last ')': it may hold either itself.
    const std::string text = FirstLineOf("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return {};
    }
    return text.substr(open + 1, close - open - 1);
}

unsigned ProcessorCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&allowed));
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1u;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

}  // namespace quillrun::platform
