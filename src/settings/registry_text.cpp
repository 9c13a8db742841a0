#include "settings/registry_text.h"

namespace quillrun {
namespace {

// Another instance may rewrite the value between asking for its size and reading it.
constexpr int kReadAttempts = 3;

}  // namespace

TextValue ReadTextValue(const platform::RegistryKey& key, std::string_view name) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        std::uint32_t size = 0;
        if (key.queryValue(name, nullptr, nullptr, &size) != platform::RegistryStatus::Ok) {
            return {};
        }
        if (size > kLongestStoredText) {
            return {TextValue::Status::TooLong, {}};
        }
        std::string bytes(size, '\0');
        const platform::RegistryStatus status = key.queryValue(name, nullptr, bytes.data(), &size);
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

std::string TextUpToZero(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace quillrun
