#pragma once

// Handle values of platform/win: a kind tag in the top bits and a serial number below, never
// reused within a run, so a handle that was freed or destroyed is refused instead of reaching
// a newer object.

#include <atomic>
#include <cstdint>

namespace win::detail {

enum class HandleKind : std::uint32_t { Window = 1, Memory = 2, Bitmap = 3, DeviceContext = 4 };

inline constexpr std::uint32_t kSerialBits = 28;

std::uintptr_t NextHandleValue(HandleKind kind);

template <typename Handle>
Handle ToHandle(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

template <typename Handle>
std::uintptr_t FromHandle(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace win::detail
