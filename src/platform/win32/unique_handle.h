#pragma once

#include <windows.h>

#include <utility>

namespace quillrun::platform {

// Owns one Win32 handle and releases it the way its kind must be released. Each kind names its
// handle type, the value that means "none", and the call that releases it.
template <typename Kind>
class UniqueWin32Handle {
  public:
    using Handle = typename Kind::Handle;

    UniqueWin32Handle() = default;
    explicit UniqueWin32Handle(Handle handle) : m_handle(handle) {}
    UniqueWin32Handle(UniqueWin32Handle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Kind::None())) {}
    UniqueWin32Handle& operator=(UniqueWin32Handle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.m_handle, Kind::None()));
        }
        return *this;
    }
    UniqueWin32Handle(const UniqueWin32Handle&) = delete;
    UniqueWin32Handle& operator=(const UniqueWin32Handle&) = delete;
    ~UniqueWin32Handle() { reset(); }

    Handle get() const { return m_handle; }
    bool valid() const { return Kind::IsValid(m_handle); }
    explicit operator bool() const { return valid(); }

    void reset(Handle handle = Kind::None()) {
        if (Kind::IsValid(m_handle)) {
            Kind::Release(m_handle);
        }
        m_handle = handle;
    }
    // Gives the handle up, for a release whose own failure matters.
    Handle release() { return std::exchange(m_handle, Kind::None()); }
    // For calls that hand a new handle back through a pointer.
    Handle* put() {
        reset();
        return &m_handle;
    }

  private:
    Handle m_handle = Kind::None();
};

// Files, processes, threads: CreateFileW gives INVALID_HANDLE_VALUE on failure, other calls give
// null, so both mean "none".
struct KernelHandleKind {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Release(Handle handle) { ::CloseHandle(handle); }
};

// A folder listing of FindFirstFileExW.
struct FindHandleKind {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { ::FindClose(handle); }
};

struct RegistryKeyKind {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Release(Handle handle) { ::RegCloseKey(handle); }
};

using UniqueHandle = UniqueWin32Handle<KernelHandleKind>;
using UniqueFindHandle = UniqueWin32Handle<FindHandleKind>;
using UniqueRegistryKey = UniqueWin32Handle<RegistryKeyKind>;

}  // namespace quillrun::platform
