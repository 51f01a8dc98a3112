#include "platform/win/GlobalMemory.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "platform/win/HandleValue.h"

namespace win {
namespace {

struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
    int locks = 0;
};

struct Table {
    std::mutex mutex;
    std::map<std::uintptr_t, Block> blocks;
};

Table& table() {
    static Table instance;
    return instance;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
    if (bytes > kGlobalAllocLimit) return nullptr;
    // One byte at least, so a block of size 0 still has an address to lock.
    std::unique_ptr<std::byte[]> storage(new (std::nothrow) std::byte[bytes == 0 ? 1 : bytes]());
    if (!storage) return nullptr;
    const std::uintptr_t value = detail::NextHandleValue(detail::HandleKind::Memory);
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.blocks.emplace(value, Block{std::move(storage), bytes, 0});
    return detail::ToHandle<HGLOBAL>(value);
}

void* GlobalLock(HGLOBAL memory) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.blocks.find(detail::FromHandle(memory));
    if (it == t.blocks.end()) return nullptr;
    ++it->second.locks;
    return it->second.bytes.get();
}

bool GlobalUnlock(HGLOBAL memory) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.blocks.find(detail::FromHandle(memory));
    if (it == t.blocks.end()) return false;
    if (it->second.locks > 0) --it->second.locks;
    return it->second.locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.blocks.find(detail::FromHandle(memory));
    if (it == t.blocks.end()) return memory;
    t.blocks.erase(it);
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL memory) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.blocks.find(detail::FromHandle(memory));
    return it == t.blocks.end() ? 0 : it->second.size;
}

std::size_t GlobalHandleCount() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.blocks.size();
}

}  // namespace win
