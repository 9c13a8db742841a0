#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/narrow_text.h"
#include "platform/registry.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

HKEY RootKey(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

RegistryStatus StatusOf(LSTATUS result) {
    switch (result) {
        case ERROR_SUCCESS:
            return RegistryStatus::Ok;
        case ERROR_FILE_NOT_FOUND:
            return RegistryStatus::NotFound;
        case ERROR_MORE_DATA:
            return RegistryStatus::MoreData;
        case ERROR_ACCESS_DENIED:
            return RegistryStatus::AccessDenied;
        default:
            return RegistryStatus::Failed;
    }
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

struct StoredValue {
    DWORD type = REG_NONE;
    std::string bytes;  // texts as UTF-8
};

// Reads the whole value through the wide call; a value that grows between asking for its size
// and reading it is asked for again.
LSTATUS ReadWholeValue(HKEY key, const std::wstring& name, StoredValue& value) {
    std::vector<BYTE> buffer;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS result = ::RegQueryValueExW(key, name.c_str(), nullptr, &value.type,
                                                  buffer.empty() ? nullptr : buffer.data(), &size);
        if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && buffer.size() < size)) {
            buffer.resize(size);
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        if (IsText(value.type)) {
            // Odd sizes do not occur in values a program wrote as text; a stray byte is dropped.
            std::wstring text(size / sizeof(wchar_t), L'\0');
            std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
            DropTerminator(text);
            value.bytes = ToUtf8(text);
        } else {
            value.bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
        }
        return ERROR_SUCCESS;
    }
}

// What the caller's buffer takes of bytes, with the sizes and results the registry gives.
RegistryStatus HandOver(std::string_view bytes, void* data, std::uint32_t* size) {
    if (size == nullptr) {
        return RegistryStatus::Ok;
    }
    const auto stored = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr && stored > *size) {
        *size = stored;
        return RegistryStatus::MoreData;
    }
    if (data != nullptr) {
        std::memcpy(data, bytes.data(), stored);
    }
    *size = stored;
    return RegistryStatus::Ok;
}

// Another program may rewrite a value between asking for its size and reading it.
constexpr int kNarrowReadAttempts = 3;

LSTATUS OpenKey(RegistryHive hive, const std::wstring& path, REGSAM access, HKEY* key) {
    LSTATUS result = ::RegOpenKeyExW(RootKey(hive), path.c_str(), 0, access, key);
    // The machine's registrations are looked up where a 32-bit program looked as well: a 32-bit
    // reading program's installer records itself in that view of the registry.
    if (result == ERROR_FILE_NOT_FOUND && hive == RegistryHive::LocalMachine) {
        result = ::RegOpenKeyExW(RootKey(hive), path.c_str(), 0, access | KEY_WOW64_32KEY, key);
    }
    return result;
}

}  // namespace

struct RegistryKey::Handle {
    UniqueRegistryKey key;
};

RegistryKey::RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;
RegistryKey::~RegistryKey() = default;

void RegistryKey::close() {
    m_handle.reset();
}

RegistryStatus RegistryKey::queryValue(std::string_view name, RegistryValueType* type, void* data,
                                       std::uint32_t* size) const {
    if (!m_handle || (data != nullptr && size == nullptr)) {
        return RegistryStatus::Failed;
    }
    StoredValue value;
    const LSTATUS result = ReadWholeValue(m_handle->key.get(), ToWide(name), value);
    if (result != ERROR_SUCCESS) {
        return StatusOf(result);
    }
    if (type != nullptr) {
        *type = value.type;
    }
    return HandOver(value.bytes, data, size);
}

RegistryStatus RegistryKey::setValue(std::string_view name, RegistryValueType type,
                                     const void* data, std::uint32_t size) {
    if (!m_handle || (data == nullptr && size != 0)) {
        return RegistryStatus::Failed;
    }
    const std::wstring wideName = ToWide(name);
    const std::string_view bytes(static_cast<const char*>(data), size);
    if (IsText(type)) {
        const std::wstring text = WithTerminator(ToWide(bytes));
        return StatusOf(::RegSetValueExW(m_handle->key.get(), wideName.c_str(), 0, type,
                                         reinterpret_cast<const BYTE*>(text.data()),
                                         static_cast<DWORD>(text.size() * sizeof(wchar_t))));
    }
    return StatusOf(::RegSetValueExW(m_handle->key.get(), wideName.c_str(), 0, type,
                                     reinterpret_cast<const BYTE*>(bytes.data()), size));
}

RegistryStatus RegistryKey::queryNarrowValue(std::string_view name, void* data,
                                             std::uint32_t* size) const {
    if (!m_handle || size == nullptr) {
        return RegistryStatus::Failed;
    }
    // The whole value is read even when only its size is asked for: whether it ends in a
    // terminator, which is no part of the bytes handed over, shows only in its last byte.
    const std::string narrowName = ToSystemCodePage(name);
    for (int attempt = 0; attempt < kNarrowReadAttempts; ++attempt) {
        DWORD narrowSize = 0;
        LSTATUS result = ::RegQueryValueExA(m_handle->key.get(), narrowName.c_str(), nullptr,
                                            nullptr, nullptr, &narrowSize);
        if (result != ERROR_SUCCESS) {
            return StatusOf(result);
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
            return StatusOf(result);
        }
        bytes.resize(narrowSize);
        DropTerminator(bytes);
        return HandOver(bytes, data, size);
    }
    return RegistryStatus::Failed;
}

RegistryStatus RegistryKey::setNarrowValue(std::string_view name, const void* data,
                                           std::uint32_t size) {
    if (!m_handle || (data == nullptr && size != 0)) {
        return RegistryStatus::Failed;
    }
    const std::string bytes =
        WithTerminator(std::string(static_cast<const char*>(data), static_cast<std::size_t>(size)));
    return StatusOf(::RegSetValueExA(m_handle->key.get(), ToSystemCodePage(name).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size())));
}

RegistryStatus RegistryKey::deleteValue(std::string_view name) {
    if (!m_handle) {
        return RegistryStatus::Failed;
    }
    return StatusOf(::RegDeleteValueW(m_handle->key.get(), ToWide(name).c_str()));
}

RegistryStatus OpenRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key) {
    key.close();
    UniqueRegistryKey opened;
    const LSTATUS result = OpenKey(hive, ToWide(keyPath), KEY_READ, opened.put());
    if (result != ERROR_SUCCESS) {
        return StatusOf(result);
    }
    key.m_handle = std::make_unique<RegistryKey::Handle>(RegistryKey::Handle{std::move(opened)});
    return RegistryStatus::Ok;
}

RegistryStatus CreateRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key) {
    key.close();
    UniqueRegistryKey created;
    const LSTATUS result =
        ::RegCreateKeyExW(RootKey(hive), ToWide(keyPath).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, created.put(), nullptr);
    if (result != ERROR_SUCCESS) {
        return StatusOf(result);
    }
    key.m_handle = std::make_unique<RegistryKey::Handle>(RegistryKey::Handle{std::move(created)});
    return RegistryStatus::Ok;
}

// The system's registry: the hive is where the settings live.
std::optional<std::string> RegistryHiveLocation(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace quillrun::platform
