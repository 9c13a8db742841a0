#include <climits>

#include "platform/registry.h"

namespace quillrun::platform {

bool WriteMachineDefaultValue(const std::string& keyPath, const std::string& value) {
    if (value.size() > UINT32_MAX) {
        return false;
    }
    RegistryKey key;
    if (CreateRegistryKey(RegistryHive::LocalMachine, keyPath, key) != RegistryStatus::Ok) {
        return false;
    }
    return key.setValue("", kRegSz, value.data(), static_cast<std::uint32_t>(value.size())) ==
           RegistryStatus::Ok;
}

}  // namespace quillrun::platform
