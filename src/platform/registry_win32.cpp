#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/narrow_text.h"
#include "platform/registry.h"
#include "platform/system_error_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// A text is stored with its terminating zero, an empty one as zero bytes. That is what the system
// stores for a program that passes a text's length from a zero-terminated buffer, as an earlier
// installation did: it counts the terminator in when the text does not end in a zero byte. So
// the values of both read back the same way, the one terminator dropped. A scrambled password
// whose last byte is zero keeps it: its terminator is written explicitly. (Such a password, read
// up to its first zero byte, never came back whole from an earlier installation anyway.)
template <typename Char>
std::basic_string<Char> WithTerminator(std::basic_string<Char> text) {
    if (!text.empty()) {
        text.push_back(Char{0});
    }
    return text;
}

template <typename Char>
void DropTerminator(std::basic_string<Char>& text) {
    if (!text.empty() && text.back() == Char{0}) {
        text.pop_back();
    }
}

// Another program may rewrite a value between asking for its size and reading it.
constexpr int kNarrowReadAttempts = 3;

LSTATUS OpenKey(RegistryRoot root, const std::wstring& path, HKEY* key) {
    LSTATUS result = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_READ, key);
    if (result == ERROR_FILE_NOT_FOUND && root == RegistryRoot::LocalMachine) {
        result = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key);
    }
    return result;
}

bool SetValue(HKEY key, std::string_view name, DWORD type, const void* data, std::size_t size) {
    if (size > MAXDWORD) {
        return false;
    }
    return ::RegSetValueExW(key, ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                            static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

}  // namespace

struct RegistryKey::Handle {
    UniqueRegistryKey key;
};

RegistryKey::RegistryKey(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot root, std::string_view path) {
    UniqueRegistryKey opened;
    if (OpenKey(root, ToWide(path), opened.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey(std::make_unique<Handle>(Handle{std::move(opened)}));
}

std::optional<RegistryKey> RegistryKey::Create(RegistryRoot root, std::string_view path) {
    UniqueRegistryKey created;
    if (::RegCreateKeyExW(RootKey(root), ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE, nullptr, created.put(), nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey(std::make_unique<Handle>(Handle{std::move(created)}));
}

// Reads the whole value; a value that grows between asking for its size and reading it is asked
// for again.
std::optional<std::string> RegistryKey::readValue(std::string_view name) const {
    const std::wstring wideName = ToWide(name);
    std::vector<BYTE> buffer;
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS result =
            ::RegQueryValueExW(m_handle->key.get(), wideName.c_str(), nullptr, &type,
                               buffer.empty() ? nullptr : buffer.data(), &size);
        if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && buffer.size() < size)) {
            buffer.resize(size);
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (!IsText(type)) {
            return std::string(reinterpret_cast<const char*>(buffer.data()), size);
        }
        // Odd sizes do not occur in values a program wrote as text; a stray byte is dropped.
        std::wstring text(size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
        DropTerminator(text);
        return ToUtf8(text);
    }
}

std::optional<std::string> RegistryKey::readNarrowText(std::string_view name) const {
    const std::string narrowName = ToSystemCodePage(name);
    for (int attempt = 0; attempt < kNarrowReadAttempts; ++attempt) {
        DWORD narrowSize = 0;
        LSTATUS result = ::RegQueryValueExA(m_handle->key.get(), narrowName.c_str(), nullptr,
                                            nullptr, nullptr, &narrowSize);
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        // Room for a terminator the stored bytes may lack, which the call then adds.
        std::string bytes(static_cast<std::size_t>(narrowSize) + 1, '\0');
        narrowSize = static_cast<DWORD>(bytes.size());
        result = ::RegQueryValueExA(m_handle->key.get(), narrowName.c_str(), nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(bytes.data()), &narrowSize);
        if (result == ERROR_MORE_DATA) {
            continue;  // rewritten in between
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        bytes.resize(narrowSize);
        DropTerminator(bytes);
        return bytes;
    }
    return std::nullopt;
}

bool RegistryKey::writeText(std::string_view name, std::string_view utf8) {
    const std::wstring text = WithTerminator(ToWide(utf8));
    return SetValue(m_handle->key.get(), name, REG_SZ, text.data(), text.size() * sizeof(wchar_t));
}

bool RegistryKey::writeNarrowText(std::string_view name, std::string_view bytes) {
    const std::string text = WithTerminator(std::string(bytes));
    if (text.size() > MAXDWORD) {
        return false;
    }
    return ::RegSetValueExA(m_handle->key.get(), ToSystemCodePage(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
}

bool RegistryKey::writeDword(std::string_view name, std::uint32_t number) {
    const DWORD value = number;
    return SetValue(m_handle->key.get(), name, REG_DWORD, &value, sizeof value);
}

bool RegistryKey::deleteValue(std::string_view name) {
    return ::RegDeleteValueW(m_handle->key.get(), ToWide(name).c_str()) == ERROR_SUCCESS;
}

// The key is replaced rather than written over, so that no value of an earlier copy stays: a
// clear-text password left there would be converted over the copied one at the service's start.
std::optional<SystemError> CopyKeyToAccount(std::string_view path, std::string_view accountSid) {
    const std::wstring keyPath = ToWide(path);
    UniqueRegistryKey source;
    UniqueRegistryKey account;
    UniqueRegistryKey copy;
    LSTATUS result = ::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, source.put());
    if (result == ERROR_SUCCESS) {
        result = ::RegOpenKeyExW(HKEY_USERS, ToWide(accountSid).c_str(), 0, KEY_ALL_ACCESS,
                                 account.put());
    }
    if (result == ERROR_SUCCESS) {
        result = ::RegDeleteTreeW(account.get(), keyPath.c_str());
        if (result == ERROR_FILE_NOT_FOUND) {
            result = ERROR_SUCCESS;
        }
    }
    if (result == ERROR_SUCCESS) {
        result =
            ::RegCreateKeyExW(account.get(), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, copy.put(), nullptr);
    }
    if (result == ERROR_SUCCESS) {
        result = ::RegCopyTreeW(source.get(), nullptr, copy.get());
    }
    if (result != ERROR_SUCCESS) {
        return SystemErrorFromWin32(static_cast<unsigned long>(result));
    }
    return std::nullopt;
}

}  // namespace quillrun::platform
