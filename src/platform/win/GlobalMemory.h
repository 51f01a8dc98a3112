#pragma once

// Movable global memory: zero-filled blocks known by handle, locked to get their address. One
// process-wide table, so a block a source manager allocates can be locked and freed by the
// program and the other way round. Thread-safe. Unknown or freed handles are refused.

#include <cstddef>

#include "platform/win/WinTypes.h"

namespace win {

// Blocks above this size are refused (null), as a failed allocation.
inline constexpr std::size_t kGlobalAllocLimit = std::size_t{1} << 31;

// A zero-filled block of bytes (flags are accepted and ignored: every block is movable and
// zeroed); null when it cannot be had.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's address (stable while the block lives), with its lock count raised; null for a
// bad handle.
void* GlobalLock(HGLOBAL memory);
// Lowers the lock count; true while the block is still locked afterwards.
bool GlobalUnlock(HGLOBAL memory);
// Null when freed; the handle itself when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL memory);
// The size the block was allocated with; 0 for a bad handle.
std::size_t GlobalSize(HGLOBAL memory);
// How many blocks are alive (for leak checks).
std::size_t GlobalHandleCount();

}  // namespace win
