#include "settings/settings_store.h"

#include <array>
#include <optional>
#include <string_view>

#include "hive/hive.h"
#include "platform/narrow_text.h"
#include "settings/password_scrambling.h"

namespace quillrun {
namespace {

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

// A text is the stored bytes up to the first zero byte among them.
std::string TextUpToZero(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
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

bool WritePassword(hive::KeyWriter& key, const std::string& password) {
    return key.writeBytes(kPasswordValue, ScramblePassword(password));
}

// A value read, unless it is too long to be taken: then its name is noted instead.
std::optional<std::string> Bounded(std::optional<std::string> bytes, const char* name,
                                   std::vector<std::string>& tooLong) {
    if (bytes && bytes->size() > kLongestStoredText) {
        tooLong.emplace_back(name);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::vector<std::string> LoadSettings(Settings& settings) {
    // On the first run there is no key yet: the settings keep the values they start with.
    const std::optional<hive::KeyReader> key =
        hive::OpenKey(hive::Hive::CurrentUser, kSettingsKeyPath);
    if (!key) {
        return {};
    }
    std::vector<std::string> tooLong;
    for (const StoredText& stored : kStoredTexts) {
        const auto bytes = Bounded(key->readText(stored.name), stored.name, tooLong);
        if (bytes && !(stored.emptyIgnored && bytes->empty())) {
            settings.*stored.setting = TextUpToZero(*bytes);
        }
    }
    // A password still in clear is the migration's to convert, never a setting; one too long to
    // be converted is named all the same.
    Bounded(key->readText(kLegacyPasswordValue), kLegacyPasswordValue, tooLong);
    // Read by its size, not up to a zero byte: a password character equal to the key character
    // at its place scrambles to zero, and the password must come back whole.
    const auto scrambled = Bounded(key->readBytes(kPasswordValue), kPasswordValue, tooLong);
    if (scrambled && !scrambled->empty()) {
        settings.password = UnscramblePassword(*scrambled);
    }
    if (const auto writeLog = key->readDword(kWriteLogValue)) {
        settings.writeLog = *writeLog != 0;
    }
    return tooLong;
}

std::optional<std::string> SaveSettings(const Settings& settings) {
    std::string problem;
    std::optional<hive::KeyWriter> key =
        hive::CreateKey(hive::Hive::CurrentUser, kSettingsKeyPath, &problem);
    // A value that fails to write keeps its old content, and the others are still written.
    bool saved = key.has_value();
    if (key) {
        for (const StoredText& stored : kStoredTexts) {
            saved = key->writeText(stored.name, settings.*stored.setting) && saved;
        }
        saved = WritePassword(*key, settings.password) && saved;
        saved = key->writeDword(kWriteLogValue, settings.writeLog ? 1 : 0) && saved;
        problem = saved ? std::string() : key->problem();
    }
    if (saved) {
        return std::nullopt;
    }
    return "The settings could not be saved in " +
           hive::HiveLocation(hive::Hive::CurrentUser).value_or("the settings file") + ": " +
           problem + ".";
}

std::optional<std::string> MigrateLegacyPassword() {
    const std::optional<hive::KeyReader> stored =
        hive::OpenKey(hive::Hive::CurrentUser, kSettingsKeyPath);
    const std::optional<std::string> legacy =
        stored ? stored->readText(kLegacyPasswordValue) : std::nullopt;
    if (!legacy || legacy->empty() || legacy->size() > kLongestStoredText) {
        return std::nullopt;
    }
    std::string problem;
    std::optional<hive::KeyWriter> key =
        hive::CreateKey(hive::Hive::CurrentUser, kSettingsKeyPath, &problem);
    if (key && WritePassword(*key, TextUpToZero(*legacy)) &&
        key->deleteValue(kLegacyPasswordValue)) {
        return std::nullopt;
    }
    return "The password kept in clear in the settings could not be scrambled: " +
           (key ? key->problem() : problem) + ". It is tried again at the next start.";
}

}  // namespace quillrun
