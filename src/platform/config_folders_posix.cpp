#include "platform/config_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/path_rules.h"

namespace quillrun::platform {
namespace {

std::optional<std::string> AbsoluteEnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> HomeFolder() {
    if (auto home = AbsoluteEnvironmentPath("HOME")) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

}  // namespace

std::optional<std::string> UserConfigFolder() {
    if (auto base = AbsoluteEnvironmentPath("XDG_CONFIG_HOME")) {
        return base;
    }
    const auto home = HomeFolder();
    if (!home) {
        return std::nullopt;
    }
    return JoinPath(*home, ".config");
}

std::vector<std::string> SystemConfigFolders() {
    std::vector<std::string> folders;
    const char* value = std::getenv("XDG_CONFIG_DIRS");
    std::string_view rest = value == nullptr ? std::string_view() : std::string_view(value);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') {
            folders.emplace_back(folder);
        }
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    if (folders.empty()) {
        folders.emplace_back("/etc/xdg");
    }
    return folders;
}

}  // namespace quillrun::platform
