// Writes values into the current user's hive as a second instance of the program would:
// registry_writer PREFIX COUNT sets PREFIX0 .. PREFIX<COUNT-1>, each through its own write.
#include <cstdlib>
#include <string>

#include "platform/registry.h"

int main(int argc, char** argv) {
    using namespace quillrun::platform;
    if (argc != 3) {
        return 2;
    }
    const std::string prefix = argv[1];
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        RegistryKey key;
        if (CreateRegistryKey(RegistryHive::CurrentUser, "Software\\Tandrel\\Quillrun", key) !=
            RegistryStatus::Ok) {
            return 1;
        }
        const std::string name = prefix + std::to_string(i);
        if (key.setValue(name, kRegSz, name.data(), static_cast<std::uint32_t>(name.size())) !=
            RegistryStatus::Ok) {
            return 1;
        }
    }
    return 0;
}
