// The hive on Windows: the system's own registry.
#include "hive/hive.h"
#include "hive/registry_value.h"
#include "platform/registry.h"

namespace quillrun::hive {
namespace {

platform::RegistryRoot RootOf(Hive hive) {
    return hive == Hive::CurrentUser ? platform::RegistryRoot::CurrentUser
                                     : platform::RegistryRoot::LocalMachine;
}

}  // namespace

struct KeyHandle {
    platform::RegistryKey key;
};

KeyReader::KeyReader(std::unique_ptr<KeyHandle> handle) : m_handle(std::move(handle)) {}
KeyReader::KeyReader(KeyReader&& other) noexcept = default;
KeyReader& KeyReader::operator=(KeyReader&& other) noexcept = default;
KeyReader::~KeyReader() = default;

std::optional<std::string> KeyReader::readText(std::string_view name) const {
    return m_handle->key.readValue(name);
}

std::optional<std::string> KeyReader::readBytes(std::string_view name) const {
    return m_handle->key.readNarrowText(name);
}

std::optional<std::uint32_t> KeyReader::readDword(std::string_view name) const {
    const std::optional<std::string> bytes = m_handle->key.readValue(name);
    return bytes ? DwordFromValue(*bytes) : std::nullopt;
}

KeyWriter::KeyWriter(std::unique_ptr<KeyHandle> handle) : m_handle(std::move(handle)) {}
KeyWriter::KeyWriter(KeyWriter&& other) noexcept = default;
KeyWriter& KeyWriter::operator=(KeyWriter&& other) noexcept = default;
KeyWriter::~KeyWriter() = default;

bool KeyWriter::Done(std::optional<std::string> failure) {
    if (failure) {
        m_problem = std::move(*failure);
    }
    return !failure;
}

// The registry says no more than that a change failed; the value's name is what helps.
bool KeyWriter::writeText(std::string_view name, std::string_view text) {
    return Done(m_handle->key.writeText(name, text)
                    ? std::nullopt
                    : std::optional<std::string>("the value " + std::string(name) +
                                                 " cannot be written to the registry"));
}

bool KeyWriter::writeBytes(std::string_view name, std::string_view bytes) {
    return Done(m_handle->key.writeNarrowText(name, bytes)
                    ? std::nullopt
                    : std::optional<std::string>("the value " + std::string(name) +
                                                 " cannot be written to the registry"));
}

bool KeyWriter::writeDword(std::string_view name, std::uint32_t number) {
    return Done(m_handle->key.writeDword(name, number)
                    ? std::nullopt
                    : std::optional<std::string>("the value " + std::string(name) +
                                                 " cannot be written to the registry"));
}

bool KeyWriter::deleteValue(std::string_view name) {
    return Done(m_handle->key.deleteValue(name)
                    ? std::nullopt
                    : std::optional<std::string>("the value " + std::string(name) +
                                                 " cannot be deleted from the registry"));
}

std::optional<KeyReader> OpenKey(Hive hive, std::string_view keyPath) {
    std::optional<platform::RegistryKey> key = platform::RegistryKey::Open(RootOf(hive), keyPath);
    if (!key) {
        return std::nullopt;
    }
    return KeyReader(std::make_unique<KeyHandle>(KeyHandle{std::move(*key)}));
}

std::optional<KeyWriter> CreateKey(Hive hive, std::string_view keyPath, std::string* problem) {
    std::optional<platform::RegistryKey> key = platform::RegistryKey::Create(RootOf(hive), keyPath);
    if (!key) {
        if (problem != nullptr) {
            *problem = "the key " + std::string(keyPath) + " cannot be created in the registry";
        }
        return std::nullopt;
    }
    return KeyWriter(std::make_unique<KeyHandle>(KeyHandle{std::move(*key)}));
}

// The system's registry reads what it holds whole or not at all.
std::optional<std::string> HiveProblem(Hive /*hive*/) {
    return std::nullopt;
}

// The system's registry: the hive is where the settings live.
std::optional<std::string> HiveLocation(Hive hive) {
    return hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace quillrun::hive
