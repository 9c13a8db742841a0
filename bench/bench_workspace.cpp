#include "bench_workspace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace quillrun::bench {
namespace {

std::string& Root() {
    static std::string root;
    return root;
}

}  // namespace

void SetWorkspaceRoot(std::string root) {
    Root() = std::move(root);
}

const std::string& WorkspaceRoot() {
    return Root();
}

std::string MakeWorkspaceFolder(const std::string& name) {
    std::string path = Root() + "/" + name;
    MakeFolder(path);
    return path;
}

void ClearWorkspace() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Root(), error)) {
        std::filesystem::remove_all(entry.path(), error);
    }
}

void FailSetup(const std::string& what) {
    std::fprintf(stderr, "quillrun_bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        FailSetup("cannot create the folder " + path);
    }
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        FailSetup("cannot create " + path);
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written <= 0) {
            ::close(fd);
            FailSetup("cannot write " + path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    ::close(fd);
}

void MakeEmptyFile(const std::string& path) {
    WriteBytes(path, {});
}

void Backdate(const std::string& path, std::chrono::seconds age) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= static_cast<time_t>(age.count());
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        FailSetup("cannot back-date " + path);
    }
}

void LinkAgain(const std::string& target, const std::string& path) {
    ::unlink(path.c_str());
    if (::link(target.c_str(), path.c_str()) != 0) {
        FailSetup("cannot link " + path);
    }
}

}  // namespace quillrun::bench
