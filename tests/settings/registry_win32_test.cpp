// The settings and the reading program's registration in the Windows registry itself: types and
// sizes as an earlier installation wrote them, texts through the wide calls, the scrambled
// password through the narrow ones, byte for byte in both directions.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "registration/reader_registration.h"
#include "settings/password_scrambling.h"
#include "settings/reader_location.h"
#include "settings/scratch_registry_win32.h"
#include "settings/settings_store.h"
#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

using platform::ToUtf8;
using platform::ToWide;

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
};

// A value as the wide or the narrow call returns it, or nothing when it is not there.
std::optional<RawValue> ReadRaw(HKEY key, const char* name, bool narrow) {
    RawValue value;
    value.bytes.resize(4096);
    DWORD size = static_cast<DWORD>(value.bytes.size());
    auto* data = reinterpret_cast<BYTE*>(value.bytes.data());
    const LSTATUS result =
        narrow ? ::RegQueryValueExA(key, name, nullptr, &value.type, data, &size)
               : ::RegQueryValueExW(key, ToWide(name).c_str(), nullptr, &value.type, data, &size);
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    return value;
}

// A text as the registry keeps it when a program passes the text's length from a
// zero-terminated buffer: its characters, and a terminator unless it is empty.
std::string StoredText(const std::string& utf8) {
    const std::wstring wide = ToWide(utf8);
    return std::string(reinterpret_cast<const char*>(wide.c_str()),
                       (wide.size() + (wide.empty() ? 0 : 1)) * sizeof(wchar_t));
}

// The bytes of a text as the narrow call reads them back: the terminator is stored too.
std::string NarrowStored(const std::string& bytes) {
    return bytes.empty() ? bytes : bytes + '\0';
}

void WriteNarrow(HKEY key, const char* name, const std::string& bytes) {
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
}

// A password as an earlier installation held it: bytes of the ANSI code page.
std::string FromEarlierInstallation(const std::string& narrow) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, narrow.data(),
                                             static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(),
                          length);
    return ToUtf8(wide);
}

using RegistryWin32 = ScratchRegistry;

TEST_F(RegistryWin32, SavedSettingsHaveTheTypesAndSizesOfAnEarlierInstallationAndLoadBack) {
    Settings saved;
    saved.sourcePath = "C:\\\xce\xa3\xce\xb1\xcf\x81\xcf\x8e\xcf\x83\xce\xb5\xce\xb9\xcf\x82";
    saved.destPath = "D:\\out";
    saved.commandArgs = "-in:^S -out:^D -x";
    saved.logPath = "";
    saved.user = "scanner";
    saved.password = "bTx7 secret";  // its first four characters scramble to zero bytes
    saved.writeLog = false;
    SaveSettings(saved);

    const HKEY key = settingsKey();
    const struct {
        const char* name;
        std::string expected;
    } texts[] = {{"sourcePath", saved.sourcePath},
                 {"destPath", saved.destPath},
                 {"OrlavexArgs", saved.commandArgs},
                 {"logPath", saved.logPath},
                 {"user", saved.user}};
    for (const auto& text : texts) {
        const auto value = ReadRaw(key, text.name, false);
        ASSERT_TRUE(value) << text.name;
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << text.name;
        EXPECT_EQ(value->bytes, StoredText(text.expected)) << text.name;
    }
    const auto password = ReadRaw(key, "epwd", true);
    ASSERT_TRUE(password);
    EXPECT_EQ(password->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(password->bytes, NarrowStored(ScrambleText(saved.password, g_scrambleKey)));
    EXPECT_EQ(ReadRaw(key, "writeLog", false)->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRaw(key, "writeLog", false)->bytes, std::string(4, '\0'));
    EXPECT_FALSE(ReadRaw(key, "pwd", false));
    // The same as an earlier installation's narrow call with the text's length stores.
    WriteNarrow(key, "reference", saved.destPath);
    EXPECT_EQ(ReadRaw(key, "reference", false)->bytes, ReadRaw(key, "destPath", false)->bytes);

    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.sourcePath, saved.sourcePath);
    EXPECT_EQ(loaded.destPath, saved.destPath);
    EXPECT_EQ(loaded.commandArgs, saved.commandArgs);
    EXPECT_EQ(loaded.logPath, saved.logPath);
    EXPECT_EQ(loaded.user, saved.user);
    EXPECT_EQ(loaded.password, saved.password);
    EXPECT_FALSE(loaded.writeLog);

    // Zero bytes at the end of the scrambled form come back as well.
    for (const std::string password : {"12345678w", "bTx7Q#m4w"}) {
        saved.password = password;
        SaveSettings(saved);
        LoadSettings(loaded);
        EXPECT_EQ(loaded.password, password);
    }
}

// Texts and the password are read whole whatever their length, through the wide and the narrow
// calls alike; a value beyond any sane length is left unread and named.
TEST_F(RegistryWin32, LongValuesComeBackWholeAndOverlongOnesAreNamed) {
    Settings saved;
    saved.commandArgs = std::string(4000, 'l');
    saved.password = std::string(300, 'p');
    SaveSettings(saved);
    Settings loaded;
    EXPECT_TRUE(LoadSettings(loaded).empty());
    EXPECT_EQ(loaded.commandArgs, saved.commandArgs);
    EXPECT_EQ(loaded.password, saved.password);

    saved.user = std::string(kLongestStoredText + 1, 'u');
    SaveSettings(saved);
    Settings overlong;
    EXPECT_EQ(LoadSettings(overlong), std::vector<std::string>{"user"});
    EXPECT_EQ(overlong.user, Settings().user);
}

// An earlier installation wrote every text through the narrow calls; what it wrote is read and
// written again byte for byte, a scrambled password with zero bytes in it included.
TEST_F(RegistryWin32, NarrowValuesOfAnEarlierInstallationComeBackByteForByte) {
    const HKEY key = settingsKey();
    // Zero bytes where the letters meet the key's, and a letter beyond ASCII.
    const std::string password = std::string("bTx") + "\xe4" + "Qz";
    const std::string scrambled = ScrambleText(password, g_scrambleKey);
    ASSERT_NE(scrambled.find('\0'), std::string::npos);
    const struct {
        const char* name;
        std::string bytes;
    } values[] = {{"sourcePath", "C:\\Scans\\Box 7"},
                  {"destPath", "\\\\server\\documents"},
                  {"OrlavexArgs", "-in:^S -out:^D -nomessage -x"},
                  {"logPath", "C:\\q.log"},
                  {"user", "scanner"},
                  {"epwd", scrambled}};
    std::vector<std::string> before;
    for (const auto& value : values) {
        WriteNarrow(key, value.name, value.bytes);
        before.push_back(ReadRaw(key, value.name, false)->bytes);
    }
    Settings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.sourcePath, "C:\\Scans\\Box 7");
    EXPECT_EQ(settings.password, FromEarlierInstallation(password));
    SaveSettings(settings);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const auto stored = ReadRaw(key, values[i].name, false);
        ASSERT_TRUE(stored) << values[i].name;
        EXPECT_EQ(stored->bytes, before[i]) << values[i].name;
    }
}

TEST_F(RegistryWin32, PasswordInClearBecomesItsScrambledFormUnlessItIsEmpty) {
    const HKEY key = settingsKey();
    const std::wstring clear = L"s3cret";
    ::RegSetValueExW(key, L"pwd", 0, REG_SZ, reinterpret_cast<const BYTE*>(clear.c_str()),
                     static_cast<DWORD>(clear.size() * sizeof(wchar_t)));
    WriteNarrow(key, "epwd", "older");
    Settings settings;
    MigrateLegacyPassword();
    LoadSettings(settings);
    EXPECT_EQ(settings.password, "s3cret");
    EXPECT_FALSE(ReadRaw(key, "pwd", false));
    EXPECT_EQ(ReadRaw(key, "epwd", true)->bytes,
              NarrowStored(ScrambleText("s3cret", g_scrambleKey)));

    ::RegSetValueExW(key, L"pwd", 0, REG_SZ, nullptr, 0);
    MigrateLegacyPassword();
    LoadSettings(settings);
    EXPECT_TRUE(ReadRaw(key, "pwd", false)) << "an empty pwd is neither converted nor deleted";
    EXPECT_EQ(settings.password, "s3cret");
}

TEST_F(RegistryWin32, ReaderIsFoundThroughItsAppPathsRegistration) {
    TempTree tree;
    // A program under a name outside the ANSI code page.
    const std::string reader =
        tree.path("\xce\x9f\xcf\x81\xce\xbb\xce\xb1\xce\xb2\xce\xb5\xce\xbe.exe");
    std::filesystem::copy_file(FsPath(SCRIPTED_READER_PATH), FsPath(reader));
    const std::wstring key = ToWide(kReaderRegistrationKey);
    EXPECT_FALSE(LocateReader()) << "nothing registered";
    for (const std::string& unusable :
         {tree.path("missing.exe"), tree.writeFile("text.exe", "not a program"), tree.root()}) {
        registerReader(key, ToWide(unusable));
        EXPECT_FALSE(LocateReader()) << unusable;
    }
    registerReader(key, ToWide(reader));
    EXPECT_EQ(LocateReader(), "\"" + reader + "\"");
}

}  // namespace
}  // namespace quillrun::test
