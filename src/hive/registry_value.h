#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillrun::hive {

// Value types, numbered as the registry numbers them.
using RegistryValueType = std::uint32_t;
inline constexpr RegistryValueType kRegNone = 0;
inline constexpr RegistryValueType kRegSz = 1;
inline constexpr RegistryValueType kRegExpandSz = 2;
inline constexpr RegistryValueType kRegBinary = 3;
inline constexpr RegistryValueType kRegDword = 4;

// A DWORD is stored as 4 bytes, least significant first, whatever the machine's byte order.
inline constexpr std::size_t kDwordSize = 4;
using DwordBytes = std::array<unsigned char, kDwordSize>;

constexpr DwordBytes PackDword(std::uint32_t number) {
    DwordBytes bytes{};
    for (std::size_t i = 0; i < kDwordSize; ++i) {
        bytes[i] = static_cast<unsigned char>(number >> (8 * i));
    }
    return bytes;
}

constexpr std::uint32_t UnpackDword(const DwordBytes& bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < kDwordSize; ++i) {
        number |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return number;
}

// The number a value holds when it is read as a DWORD, whatever its type: up to 4 bytes, the ones
// missing taken as zero. A value of no bytes or of more than 4 holds none.
constexpr std::optional<std::uint32_t> DwordFromValue(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > kDwordSize) {
        return std::nullopt;
    }
    DwordBytes dword{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        dword[i] = static_cast<unsigned char>(bytes[i]);
    }
    return UnpackDword(dword);
}

}  // namespace quillrun::hive
