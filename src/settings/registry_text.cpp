#include "settings/registry_text.h"

#include <array>

namespace quillrun {

namespace {

template <typename Query>
std::optional<std::string> ReadIntoTextBuffer(const Query& query) {
    std::array<char, kTextBufferSize> buffer{};
    std::uint32_t size = kTextBufferSize;
    if (query(buffer.data(), &size) != platform::RegistryStatus::Ok) {
        return std::nullopt;
    }
    return std::string(buffer.data(), size);
}

}  // namespace

std::optional<std::string> ReadTextBytes(const platform::RegistryKey& key, std::string_view name) {
    return ReadIntoTextBuffer(
        [&](char* data, std::uint32_t* size) { return key.queryValue(name, nullptr, data, size); });
}

std::optional<std::string> ReadNarrowTextBytes(const platform::RegistryKey& key,
                                               std::string_view name) {
    return ReadIntoTextBuffer(
        [&](char* data, std::uint32_t* size) { return key.queryNarrowValue(name, data, size); });
}

std::string TextUpToZero(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace quillrun
