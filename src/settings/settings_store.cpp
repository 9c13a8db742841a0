#include "settings/settings_store.h"

#include <array>
#include <cstdint>

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
    std::string QuillrunMembers::*member;
    bool emptyIgnored;  // a value of zero bytes leaves the member as it is
};

// In the order in which they are read and written.
constexpr std::array<StoredText, 5> kStoredTexts{{
    {"sourcePath", &QuillrunMembers::m_sourcePath, true},
    {"destPath", &QuillrunMembers::m_destPath, false},
    {"OrlavexArgs", &QuillrunMembers::m_commandArgs, false},
    {"logPath", &QuillrunMembers::m_logPath, false},
    {"user", &QuillrunMembers::m_user, true},
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

void ReadStoredValues(const RegistryKey& key, QuillrunMembers& members) {
    for (const StoredText& stored : kStoredTexts) {
        const auto bytes = ReadTextBytes(key, stored.name);
        if (bytes && !(stored.emptyIgnored && bytes->empty())) {
            members.*stored.member = TextUpToZero(*bytes);
        }
    }
    const auto legacy = ReadTextBytes(key, kLegacyPasswordValue);
    if (legacy && !legacy->empty()) {
        MigrateLegacyPassword(TextUpToZero(*legacy));
    }
    // Read by its size, not up to a zero byte: a password character equal to the key character
    // at its place scrambles to zero, and the password must come back whole.
    const auto scrambled = ReadTextBytes(key, kPasswordValue);
    if (scrambled && !scrambled->empty()) {
        members.m_password = ScrambleText(*scrambled, g_scrambleKey);
    }
    if (const auto writeLog = ReadDword(key, kWriteLogValue)) {
        members.m_writeLog = static_cast<int>(*writeLog);
    }
}

void ShowMembers(const QuillrunMembers& members, SettingsView& view) {
    // Each field's change handler copies the text back into its member, so every text is handed
    // over as a copy that the handler cannot alter while it is being read.
    view.SetFieldText(kSourcePathEdit, std::string(members.m_sourcePath));
    view.SetFieldText(kDestPathEdit, std::string(members.m_destPath));
    view.SetFieldText(kCommandArgsEdit, std::string(members.m_commandArgs));
    view.SetFieldText(kUserEdit, std::string(members.m_user));
    view.SetFieldText(kPasswordEdit, std::string(members.m_password));
    view.SetFieldText(kLogPathEdit, std::string(members.m_logPath));
    view.SetLogActivityChecked(members.m_writeLog != 0);
    view.UpdateLogControls();
}

}  // namespace

void LoadSettings(QuillrunMembers& members, SettingsView& view) {
    {
        RegistryKey key;
        // On the first run there is no key yet: the members keep the dialog's initial values.
        if (platform::OpenRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) ==
            RegistryStatus::Ok) {
            ReadStoredValues(key, members);
        }
    }
    ShowMembers(members, view);
}

void SaveSettings(const QuillrunMembers& members) {
    RegistryKey key;
    if (platform::CreateRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) !=
        RegistryStatus::Ok) {
        return;
    }
    // A value that fails to write keeps its old content; the others are still written, and no
    // failure is reported: the settings are a convenience that must never stop the program.
    for (const StoredText& stored : kStoredTexts) {
        WriteText(key, stored.name, members.*stored.member);
    }
    WriteText(key, kPasswordValue, ScrambleText(members.m_password, g_scrambleKey));
    WriteDword(key, kWriteLogValue, static_cast<std::uint32_t>(members.m_writeLog));
}

void SaveSettingsOnClose(const QuillrunMembers& members) {
    if (members.m_running != 0) {
        SaveSettings(members);
    }
}

void MigrateLegacyPassword(const std::string& password) {
    const std::string scrambled = ScrambleText(password, g_scrambleKey);
    RegistryKey key;
    if (platform::CreateRegistryKey(RegistryHive::CurrentUser, kSettingsKeyPath, key) !=
        RegistryStatus::Ok) {
        return;  // "pwd" stays, and the conversion is tried again at the next start
    }
    if (WriteText(key, kPasswordValue, scrambled) == RegistryStatus::Ok) {
        key.deleteValue(kLegacyPasswordValue);
    }
}

}  // namespace quillrun
