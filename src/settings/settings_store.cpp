#include "settings/settings_store.h"

#include <array>
#include <cstdint>
#include <optional>

#include "platform/narrow_text.h"
#include "platform/registry.h"
#include "settings/password_scrambling.h"
#include "settings/registry_text.h"

namespace quillrun {
namespace {

using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryStatus;

struct StoredText {
    const char* name;
    std::string Settings::*setting;
    bool emptyIgnored;  // a value of zero bytes leaves the setting as it is
};

// In the order in which they are read and written.
constexpr std::array<StoredText, 5> kStoredTexts{{
    {"sourcePath", &Settings::sourcePath, true},
    {"destPath", &Settings::destPath, false},
    {"OrlavexArgs", &Settings::commandArgs, false},
    {"logPath", &Settings::logPath, false},
    {"user", &Settings::user, true},
}};

constexpr const char* kLegacyPasswordValue = "pwd";
constexpr const char* kPasswordValue = "epwd";
constexpr const char* kWriteLogValue = "writeLog";

std::optional<std::uint32_t> ReadDword(const RegistryKey& key, const char* name) {
    platform::DwordBytes bytes{};
    std::uint32_t size = bytes.size();
    if (key.queryValue(name, nullptr, bytes.data(), &size) != RegistryStatus::Ok || size == 0) {
        return std::nullopt;
    }
    return platform::UnpackDword(bytes);
}

RegistryStatus WriteDword(RegistryKey& key, const char* name, std::uint32_t number) {
    const platform::DwordBytes bytes = platform::PackDword(number);
    return key.setValue(name, platform::kRegDword, bytes.data(), bytes.size());
}

RegistryStatus WriteText(RegistryKey& key, const char* name, const std::string& text) {
    // Texts are stored without a terminating zero, an empty one as a value of zero bytes.
    return key.setValue(name, platform::kRegSz, text.data(),
                        static_cast<std::uint32_t>(text.size()));
}

// The scrambled password is kept as the bytes of the password in the system's narrow code page,
// through the narrow registry calls, so that a value an earlier installation wrote reads back
// byte for byte, and the other way round.
std::string ScramblePassword(const std::string& password) {
    return ScrambleText(platform::ToSystemCodePage(password), g_scrambleKey);
}

std::string UnscramblePassword(const std::string& scrambled) {
    return platform::FromSystemCodePage(ScrambleText(scrambled, g_scrambleKey));
}

RegistryStatus WritePassword(RegistryKey& key, const std::string& password) {
    const std::string scrambled = ScramblePassword(password);
    return key.setNarrowValue(kPasswordValue, scrambled.data(),
                              static_cast<std::uint32_t>(scrambled.size()));
}

// Reads a text value, noting its name when it is too long to be read.
std::optional<std::string> ReadText(const RegistryKey& key, const char* name,
                                    std::vector<std::string>& tooLong, bool narrow = false) {
    TextValue value = narrow ? ReadNarrowTextValue(key, name) : ReadTextValue(key, name);
    if (value.status == TextValue::Status::TooLong) {
        tooLong.emplace_back(name);
    }
    if (value.status != TextValue::Status::Read) {
        return std::nullopt;
    }
    return std::move(value.bytes);
}

std::vector<std::string> ReadStoredValues(const RegistryKey& key, Settings& settings) {
    std::vector<std::string> tooLong;
    for (const StoredText& stored : kStoredTexts) {
        const auto bytes = ReadText(key, stored.name, tooLong);
        if (bytes && !(stored.emptyIgnored && bytes->empty())) {
            settings.*stored.setting = TextUpToZero(*bytes);
        }
    }
    const auto legacy = ReadText(key, kLegacyPasswordValue, tooLong);
    if (legacy && !legacy->empty()) {
        MigrateLegacyPassword(TextUpToZero(*legacy));
    }
    // Read by its size, not up to a zero byte: a password character equal to the key character
    // at its place scrambles to zero, and the password must come back whole.
    const auto scrambled = ReadText(key, kPasswordValue, tooLong, true);
    if (scrambled && !scrambled->empty()) {
        settings.password = UnscramblePassword(*scrambled);
    }
    if (const auto writeLog = ReadDword(key, kWriteLogValue)) {
        settings.writeLog = *writeLog != 0;
    }
    return tooLong;
}

}  // namespace

std::vector<std::string> LoadSettings(Settings& settings) {
    RegistryKey key;
    // On the first run there is no key yet: the settings keep the values they start with.
    if (platform::OpenRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) !=
        RegistryStatus::Ok) {
        return {};
    }
    return ReadStoredValues(key, settings);
}

void SaveSettings(const Settings& settings) {
    RegistryKey key;
    if (platform::CreateRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) !=
        RegistryStatus::Ok) {
        return;
    }
    // A value that fails to write keeps its old content; the others are still written, and no
    // failure is reported: the settings are a convenience that must never stop the program.
    for (const StoredText& stored : kStoredTexts) {
        WriteText(key, stored.name, settings.*stored.setting);
    }
    WritePassword(key, settings.password);
    WriteDword(key, kWriteLogValue, settings.writeLog ? 1 : 0);
}

void MigrateLegacyPassword(const std::string& password) {
    RegistryKey key;
    if (platform::CreateRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) !=
        RegistryStatus::Ok) {
        return;  // "pwd" stays, and the conversion is tried again at the next start
    }
    if (WritePassword(key, password) == RegistryStatus::Ok) {
        key.deleteValue(kLegacyPasswordValue);
    }
}

}  // namespace quillrun
