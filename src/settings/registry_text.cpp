#include "settings/registry_text.h"

#include <array>

namespace quillrun {

std::optional<std::string> ReadTextBytes(const platform::RegistryKey& key, std::string_view name) {
    std::array<char, kTextBufferSize> buffer{};
    std::uint32_t size = kTextBufferSize;
    if (key.queryValue(name, nullptr, buffer.data(), &size) != platform::RegistryStatus::Ok) {
        return std::nullopt;
    }
    return std::string(buffer.data(), size);
}

std::string TextUpToZero(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace quillrun
