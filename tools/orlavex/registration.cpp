#include "registration.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "hive/hive.h"
#include "registration/reader_registration.h"

namespace orlavex {

namespace {

// argv[0] may be relative or a link's name; the kernel's record of the executable is neither.
bool OwnExecutablePath(std::string& path, std::string& error) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            error = std::string("cannot find this program's own path: ") + std::strerror(errno);
            return false;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            path.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool RegisterThisProgram(std::string& registeredPath, std::string& error) {
    if (!OwnExecutablePath(registeredPath, error)) {
        return false;
    }
    if (!quillrun::hive::WriteMachineDefaultValue(quillrun::kReaderRegistrationKey,
                                                  registeredPath)) {
        // The machine hive lives in the first folder of XDG_CONFIG_DIRS, /etc/xdg by default,
        // which usually only the administrator may write.
        error = "cannot write the registration of " + registeredPath +
                " into the machine hive (the first folder of XDG_CONFIG_DIRS, /etc/xdg by default, "
                "must be writable)";
        return false;
    }
    return true;
}

}  // namespace orlavex
