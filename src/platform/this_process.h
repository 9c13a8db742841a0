#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillrun::platform {

// Who a running program is, in terms that let another program tell whether it still runs: on
// the same machine by asking the system, on another machine not at all.
struct ProcessIdentity {
    std::string host;     // the machine's name, for people to read
    std::string machine;  // the machine's lasting identity (Linux: /etc/machine-id); may be empty
    std::string boot;     // this run of the machine (Linux: the boot id); may be empty
    // Where process ids mean the same processes (Linux: the pid namespace, so that a program in
    // a container is never looked up among the processes of its host).
    std::string scope;
    std::uint64_t pid = 0;
    std::uint64_t started = 0;  // when the process started, in the system's own units
};

// The identity of this process.
ProcessIdentity ThisProcess();

// Whether the process with this id, started at started, still runs. Meaningful only for a
// process of this machine's current boot and scope; a process id that has been given to a newer
// process, and a process that has ended but not been waited for, count as not running.
bool IsProcessRunning(std::uint64_t pid, std::uint64_t started);

// The program a running process of this machine runs, as the system names it (Linux: the first
// 15 bytes of its file name; Windows: its file name without ".exe"); empty when it cannot be
// found out.
std::string ProcessName(std::uint64_t pid);

// How many processors this process may run on (at least 1).
unsigned ProcessorCount();

// The arguments this program was started with, after its name, in UTF-8. On POSIX they are
// main's; on Windows they come from the wide command line, since main's hold them in the ANSI
// code page, which cannot hold every name a path may have.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace quillrun::platform
