#include "hive/hive.h"

namespace quillrun::hive {

bool WriteMachineDefaultValue(std::string_view keyPath, std::string_view value) {
    std::optional<KeyWriter> key = CreateKey(Hive::LocalMachine, keyPath);
    return key && key->writeText("", value);
}

}  // namespace quillrun::hive
