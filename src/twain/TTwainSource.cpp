#include "twain/TTwainSource.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "platform/win/GlobalMemory.h"
#include "twain/TTwainManager.h"

namespace twain {
namespace {

constexpr TW_BOOL kTrue = 0xFFFF;
// More items than any real capability has; a larger count is a corrupt container.
constexpr TW_UINT32 kMaxEnumerationItems = 0xFFFF;
constexpr std::size_t kEnumerationHeader = 14;

TW_UINT16 requestMessage(TCapRequest request) {
    switch (request) {
        case crqGetCurrent:
            return MSG_GETCURRENT;
        case crqGetDefault:
            return MSG_GETDEFAULT;
        case crqReset:
            return MSG_RESET;
        case crqGet:
        default:
            return MSG_GET;
    }
}

template <typename T>
T readAt(const void* address) {
    T value;
    std::memcpy(&value, address, sizeof value);
    return value;
}

template <typename T>
std::string decimal(T value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// Whole + Frac / 65536 with up to five decimals (the smallest step, 1/65536, shows as
// 0.00002), no trailing zeros, '.' as separator.
std::string fix32Text(TW_FIX32 value) {
    char text[32];
    const double number = static_cast<double>(Fix32ToFloat(value));
    const auto end =
        std::to_chars(text, text + sizeof text, number, std::chars_format::fixed, 5).ptr;
    const char* last = end;
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
    return std::string(text, static_cast<std::size_t>(last - text));
}

int textToInteger(const std::string& text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return -1;
    return value;
}

TScanUnit unitOf(int code) {
    return code >= TWUN_INCHES && code <= TWUN_PIXELS ? static_cast<TScanUnit>(code) : suUnknown;
}

TPixelFlavor flavorOf(int code) {
    if (code == TWPF_CHOCOLATE) return flChocolate;
    if (code == TWPF_VANILLA) return flVanilla;
    return flUnknown;
}

}  // namespace

TTwainSource::TTwainSource(TTwainManager* owner) : TTwainIdentity(owner), manager_(owner) {}

TTwainSource::~TTwainSource() { CloseSource(); }

TW_UINT16 TTwainSource::Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    const DSMENTRYPROC entry = manager_->EntryPoint();
    if (entry == nullptr) return TWRC_FAILURE;
    return entry(manager_->AppIdentity(), &Structure(), dg, dat, msg, data);
}

void TTwainSource::SetLoaded(bool value) {
    if (value == loaded_) return;
    if (value)
        OpenSource();
    else
        CloseSource();
}

void TTwainSource::SetEnabled(bool value) {
    if (!loaded_ || value == enabled_) return;
    if (value)
        EnableDS(showUI_, modal_);
    else
        DisableDS();
}

bool TTwainSource::OpenSource() {
    if (loaded_) return true;
    const DSMENTRYPROC entry = manager_->EntryPoint();
    if (entry == nullptr) return false;
    if (entry(manager_->AppIdentity(), nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS,
              &Structure()) != TWRC_SUCCESS)
        return false;
    manager_->AdjustOpenSourceCount(1);
    loaded_ = true;
    return true;
}

bool TTwainSource::CloseSource() {
    if (!loaded_) return true;
    DisableDS();
    bool closed = false;
    if (const DSMENTRYPROC entry = manager_->EntryPoint(); entry != nullptr) {
        closed = entry(manager_->AppIdentity(), nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS,
                       &Structure()) == TWRC_SUCCESS;
    }
    if (closed) manager_->AdjustOpenSourceCount(-1);
    loaded_ = false;
    return closed;
}

bool TTwainSource::EnableDS(bool showUI, bool modal) {
    if (!loaded_ || enabled_) return enabled_;
    TW_USERINTERFACE ui{};
    ui.ShowUI = showUI ? kTrue : 0;
    ui.ModalUI = modal ? kTrue : 0;
    ui.hParent = manager_->WindowHandle();
    // Set before the call: messages arriving while the source's dialog comes up are already
    // offered to this source.
    enabled_ = true;
    const TW_UINT16 rc = Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) return true;
    enabled_ = false;
    return false;
}

bool TTwainSource::DisableDS() {
    if (!(loaded_ && enabled_)) {
        enabled_ = false;
        return true;
    }
    TW_USERINTERFACE ui{};
    if (Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) != TWRC_SUCCESS) return false;
    if (manager_->OnSourceDisable) manager_->OnSourceDisable(manager_, index_);
    enabled_ = false;
    return true;
}

bool TTwainSource::HandleMessage(const win::MSG& message) {
    win::MSG record = message;
    TW_EVENT event{};
    event.pEvent = &record;
    event.TWMessage = MSG_NULL;
    if (Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT) return false;
    switch (event.TWMessage) {
        case MSG_XFERREADY:
            TransferAll();
            break;
        case MSG_CLOSEDSREQ:
            if (manager_->OnAcquireCancel) manager_->OnAcquireCancel(manager_, index_);
            DisableDS();
            break;
        default:
            break;
    }
    return true;
}

TW_UINT16 TTwainSource::ConditionCode() {
    if (!loaded_) return 0;
    TW_STATUS status{};
    Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

TCapResult TTwainSource::MapCapabilityResult(TW_UINT16 rc) {
    if (rc == TWRC_SUCCESS) return capOk;
    switch (ConditionCode()) {
        case TWCC_CAPUNSUPPORTED:
            return capUnsupported;
        case TWCC_CAPBADOPERATION:
            return capBadOperation;
        case TWCC_CAPSEQERROR:
            return capDependency;
        case TWCC_LOWMEMORY:
            return capLowMemory;
        case TWCC_SEQERROR:
            return capBadState;
        default:
            return capBadOperation;
    }
}

TCapResult TTwainSource::ReadCapability(TW_UINT16 cap, TW_HANDLE& container, TW_UINT16& conType,
                                        TCapRequest request) {
    if (!loaded_) return capBadState;
    TW_CAPABILITY capability{};
    capability.Cap = cap;
    capability.ConType = TWON_DONTCARE16;
    capability.hContainer = nullptr;
    const TCapResult result =
        MapCapabilityResult(Call(DG_CONTROL, DAT_CAPABILITY, requestMessage(request), &capability));
    if (result == capOk) {
        container = capability.hContainer;
        conType = capability.ConType;
    }
    return result;
}

std::size_t TTwainSource::ItemReadSize(TW_UINT16 itemType) {
    switch (itemType) {
        case 43:
            return 4;
        case 44:
            return 2;
        case TWTY_FRAME:
        case TWTY_STR1024:
        case TWTY_UNI512:
            return 0;  // read as empty text
        default:
            return TwainItemSize(itemType);
    }
}

std::string TTwainSource::ItemText(TW_UINT16 itemType, const void* item) {
    switch (itemType) {
        case TWTY_INT8:
            return decimal(static_cast<int>(readAt<std::int8_t>(item)));
        case TWTY_UINT8:
            return decimal(static_cast<unsigned>(readAt<std::uint8_t>(item)));
        case TWTY_INT16:
        case 44:
            return decimal(static_cast<int>(readAt<std::int16_t>(item)));
        case TWTY_UINT16:
        case TWTY_BOOL:
            return decimal(static_cast<unsigned>(readAt<std::uint16_t>(item)));
        case TWTY_INT32:
            return decimal(readAt<std::int32_t>(item));
        case TWTY_UINT32:
        case 43:
            return decimal(readAt<std::uint32_t>(item));
        case TWTY_FIX32:
            return fix32Text(readAt<TW_FIX32>(item));
        case TWTY_STR32:
        case TWTY_STR64:
        case TWTY_STR128:
        case TWTY_STR255: {
            const char* text = static_cast<const char*>(item);
            return std::string(text, strnlen(text, TwainItemSize(itemType)));
        }
        default:
            return {};
    }
}

TCapResult TTwainSource::ReadEnumeration(TW_UINT16 cap, TW_UINT16& itemType,
                                         TGetCapabilityList& list, TW_UINT32& current,
                                         TW_UINT32& defaultIndex, TCapRequest request,
                                         TW_HANDLE container) {
    TCapResult result = capOk;
    TW_UINT16 conType = TWON_ENUMERATION;
    if (container == nullptr) result = ReadCapability(cap, container, conType, request);
    if (result != capOk) return result;
    if (conType != TWON_ENUMERATION) {
        win::GlobalFree(container);
        return capBadContainer;
    }
    const std::size_t size = win::GlobalSize(container);
    const auto* block = static_cast<const std::uint8_t*>(win::GlobalLock(container));
    if (block == nullptr || size < kEnumerationHeader) {
        win::GlobalUnlock(container);
        win::GlobalFree(container);
        return capBadContainer;
    }
    const TW_UINT16 type = readAt<TW_UINT16>(block + offsetof(TW_ENUMERATION, ItemType));
    const TW_UINT32 count = readAt<TW_UINT32>(block + offsetof(TW_ENUMERATION, NumItems));
    const std::size_t step = TwainItemSize(type);
    const std::size_t readSize = ItemReadSize(type);
    // Every item read must lie inside the block the source handed over.
    const bool fits = count <= kMaxEnumerationItems &&
                      (count == 0 || kEnumerationHeader + (count - 1) * step + readSize <= size);
    if (!fits) {
        win::GlobalUnlock(container);
        win::GlobalFree(container);
        return capBadContainer;
    }
    current = readAt<TW_UINT32>(block + offsetof(TW_ENUMERATION, CurrentIndex));
    defaultIndex = readAt<TW_UINT32>(block + offsetof(TW_ENUMERATION, DefaultIndex));
    itemType = type;
    list.assign(count, std::string());
    for (TW_UINT32 i = 0; i < count; ++i)
        list[i] = ItemText(type, block + kEnumerationHeader + i * step);
    win::GlobalUnlock(container);
    win::GlobalFree(container);
    return capOk;
}

namespace {

// Reads an enumeration of TWTY_UINT16 codes: every item into supported, the current (or, for
// crqGetDefault, the default) one into chosenValue.
template <class Value, class Values>
TCapResult readCodeEnumeration(TTwainSource& source, TW_UINT16 cap, TCapRequest request,
                               Value (*valueOf)(int), Value& chosenValue, Values& supported) {
    TW_UINT16 itemType = 0;
    TGetCapabilityList list;
    TW_UINT32 current = 0;
    TW_UINT32 defaultIndex = 0;
    const TCapResult result =
        source.ReadEnumeration(cap, itemType, list, current, defaultIndex, request);
    if (result != capOk) return result;
    if (itemType != TWTY_UINT16) return capUnsupported;
    const TW_UINT32 chosen = request == crqGetDefault ? defaultIndex : current;
    if (chosen >= list.size()) return capBadContainer;  // no item to read there
    for (const std::string& text : list) supported.insert(valueOf(textToInteger(text)));
    chosenValue = valueOf(textToInteger(list[chosen]));
    return capOk;
}

}  // namespace

TCapResult TTwainSource::ReadUnits(TScanUnit& unit, TScanUnits& supported, TCapRequest request) {
    return readCodeEnumeration(*this, ICAP_UNITS, request, unitOf, unit, supported);
}

TCapResult TTwainSource::ReadPixelFlavor(TPixelFlavor& flavor, TPixelFlavors& supported,
                                         TCapRequest request) {
    return readCodeEnumeration(*this, ICAP_PIXELFLAVOR, request, flavorOf, flavor, supported);
}

}  // namespace twain
