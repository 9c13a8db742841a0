#include "settings/registry_text.h"

namespace quillrun {
namespace {

// Another instance may rewrite the value between asking for its size and reading it.
constexpr int kReadAttempts = 3;

// Query(data, size) reads the value as RegistryKey::queryValue does.
template <typename Query>
TextValue ReadWholeText(const Query& query) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        std::uint32_t size = 0;
        if (query(nullptr, &size) != platform::RegistryStatus::Ok) {
            return {};
        }
        if (size > kLongestStoredText) {
            return {TextValue::Status::TooLong, {}};
        }
        std::string bytes(size, '\0');
        const platform::RegistryStatus status = query(bytes.data(), &size);
        if (status == platform::RegistryStatus::Ok) {
            bytes.resize(size);
            return {TextValue::Status::Read, std::move(bytes)};
        }
        if (status != platform::RegistryStatus::MoreData) {
            return {};
        }
    }
    return {};
}

}  // namespace

TextValue ReadTextValue(const platform::RegistryKey& key, std::string_view name) {
    return ReadWholeText(
        [&](void* data, std::uint32_t* size) { return key.queryValue(name, nullptr, data, size); });
}

TextValue ReadNarrowTextValue(const platform::RegistryKey& key, std::string_view name) {
    return ReadWholeText(
        [&](void* data, std::uint32_t* size) { return key.queryNarrowValue(name, data, size); });
}

std::string TextUpToZero(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace quillrun
