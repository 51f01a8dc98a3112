#include "platform/win/HandleValue.h"

namespace win::detail {

std::uintptr_t NextHandleValue(HandleKind kind) {
    static std::atomic<std::uint32_t> serial{0};
    const std::uint32_t next = (serial.fetch_add(1) + 1) & ((1u << kSerialBits) - 1);
    return (static_cast<std::uintptr_t>(kind) << kSerialBits) | next;
}

}  // namespace win::detail
