#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillrun::platform {

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

}  // namespace quillrun::platform
