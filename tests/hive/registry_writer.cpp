// Writes values into the current user's hive as a second instance of the program would:
// registry_writer PREFIX COUNT sets PREFIX0 .. PREFIX<COUNT-1>, each through its own write.
#include <cstdlib>
#include <string>

#include "hive/hive.h"

int main(int argc, char** argv) {
    using namespace quillrun::hive;
    if (argc != 3) {
        return 2;
    }
    const std::string prefix = argv[1];
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        std::optional<KeyWriter> key = CreateKey(Hive::CurrentUser, "Software\\Tandrel\\Quillrun");
        const std::string name = prefix + std::to_string(i);
        if (!key || !key->writeText(name, name)) {
            return 1;
        }
    }
    return 0;
}
