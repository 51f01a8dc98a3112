#include "platform/twaindsm/CapabilityContainer.h"

#include <cstring>

#include "platform/win/GlobalMemory.h"

namespace brevanto::twaindsm {

namespace {

// Items carried as raw 32-bit values: the integer and TW_FIX32 types, 1 to 4 bytes.
std::size_t scalarSize(TW_UINT16 itemType) {
    const std::size_t size = TwainItemSize(itemType);
    return size <= 4 ? size : 0;
}

void putItem(std::uint8_t* at, TW_UINT16 itemType, std::uint32_t raw) {
    const std::size_t size = scalarSize(itemType);
    for (std::size_t i = 0; i < size; ++i) at[i] = static_cast<std::uint8_t>(raw >> (8 * i));
}

std::uint32_t getItem(const std::uint8_t* at, TW_UINT16 itemType) {
    std::uint32_t raw = 0;
    const std::size_t size = scalarSize(itemType);
    for (std::size_t i = 0; i < size; ++i) raw |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return raw;
}

// Locks a block for reading and unlocks it again on every path.
class LockedBlock {
  public:
    explicit LockedBlock(win::HGLOBAL handle)
        : handle_(handle),
          bytes_(static_cast<const std::uint8_t*>(win::GlobalLock(handle))),
          size_(bytes_ ? win::GlobalSize(handle) : 0) {}
    ~LockedBlock() {
        if (bytes_) win::GlobalUnlock(handle_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const std::uint8_t* bytes() const { return bytes_; }
    std::size_t size() const { return size_; }

  private:
    win::HGLOBAL handle_;
    const std::uint8_t* bytes_;
    std::size_t size_;
};

}  // namespace

win::HGLOBAL CapabilityContainer::makeEnumeration(TW_UINT16 itemType,
                                                  const std::vector<std::uint32_t>& items,
                                                  std::uint32_t currentIndex,
                                                  std::uint32_t defaultIndex) {
    const std::size_t size = scalarSize(itemType);
    win::HGLOBAL handle =
        win::GlobalAlloc(win::GHND, offsetof(TW_ENUMERATION, ItemList) + size * items.size());
    auto* block = static_cast<std::uint8_t*>(win::GlobalLock(handle));
    if (!block) {
        win::GlobalFree(handle);
        return nullptr;
    }
    TW_ENUMERATION header{};
    header.ItemType = itemType;
    header.NumItems = static_cast<TW_UINT32>(items.size());
    header.CurrentIndex = currentIndex;
    header.DefaultIndex = defaultIndex;
    std::memcpy(block, &header, offsetof(TW_ENUMERATION, ItemList));
    for (std::size_t i = 0; i < items.size(); ++i)
        putItem(block + offsetof(TW_ENUMERATION, ItemList) + i * size, itemType, items[i]);
    win::GlobalUnlock(handle);
    return handle;
}

win::HGLOBAL CapabilityContainer::makeOneValue(TW_UINT16 itemType, std::uint32_t item) {
    win::HGLOBAL handle = win::GlobalAlloc(win::GHND, sizeof(TW_ONEVALUE));
    auto* block = static_cast<std::uint8_t*>(win::GlobalLock(handle));
    if (!block) {
        win::GlobalFree(handle);
        return nullptr;
    }
    std::memcpy(block, &itemType, sizeof itemType);
    putItem(block + offsetof(TW_ONEVALUE, Item), itemType, item);
    win::GlobalUnlock(handle);
    return handle;
}

std::optional<CapabilityContainer::Value> CapabilityContainer::readSetValue(
    TW_UINT16 conType, win::HGLOBAL container) {
    const LockedBlock block(container);
    if (!block.bytes()) return std::nullopt;
    Value value;
    if (conType == TWON_ONEVALUE) {
        if (block.size() < sizeof(TW_ONEVALUE)) return std::nullopt;
        std::memcpy(&value.itemType, block.bytes(), sizeof value.itemType);
        if (scalarSize(value.itemType) == 0) return std::nullopt;
        value.raw = getItem(block.bytes() + offsetof(TW_ONEVALUE, Item), value.itemType);
        return value;
    }
    if (conType == TWON_ENUMERATION) {
        constexpr std::size_t kHeader = offsetof(TW_ENUMERATION, ItemList);
        if (block.size() < kHeader) return std::nullopt;
        TW_ENUMERATION header{};
        std::memcpy(&header, block.bytes(), kHeader);
        const std::size_t size = scalarSize(header.ItemType);
        if (size == 0 || header.CurrentIndex >= header.NumItems) return std::nullopt;
        const std::size_t offset = kHeader + size * header.CurrentIndex;
        if (offset + size > block.size()) return std::nullopt;
        value.itemType = header.ItemType;
        value.raw = getItem(block.bytes() + offset, header.ItemType);
        return value;
    }
    return std::nullopt;
}

std::uint32_t CapabilityContainer::fix32Raw(double value) {
    const TW_FIX32 fixed = FloatToFix32(value);
    return static_cast<std::uint16_t>(fixed.Whole) | (static_cast<std::uint32_t>(fixed.Frac) << 16);
}

double CapabilityContainer::fix32Value(std::uint32_t raw) {
    TW_FIX32 fixed{};
    fixed.Whole = static_cast<TW_INT16>(raw & 0xFFFF);
    fixed.Frac = static_cast<TW_UINT16>(raw >> 16);
    return static_cast<double>(Fix32ToFloat(fixed));
}

}  // namespace brevanto::twaindsm
