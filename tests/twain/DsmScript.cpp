#include "DsmScript.h"

#include <algorithm>

#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"

namespace dsmscript {
namespace {

std::size_t recordSize(TW_UINT16 dat) {
    switch (dat) {
        case DAT_CAPABILITY:
            return sizeof(TW_CAPABILITY);
        case DAT_EVENT:
            return sizeof(TW_EVENT);
        case DAT_IDENTITY:
            return sizeof(TW_IDENTITY);
        case DAT_PARENT:
        case DAT_IMAGENATIVEXFER:
            return sizeof(TW_HANDLE);
        case DAT_PENDINGXFERS:
            return sizeof(TW_PENDINGXFERS);
        case DAT_SETUPMEMXFER:
            return sizeof(TW_SETUPMEMXFER);
        case DAT_SETUPFILEXFER:
            return sizeof(TW_SETUPFILEXFER);
        case DAT_STATUS:
            return sizeof(TW_STATUS);
        case DAT_USERINTERFACE:
            return sizeof(TW_USERINTERFACE);
        case DAT_IMAGEINFO:
            return sizeof(TW_IMAGEINFO);
        case DAT_IMAGEMEMXFER:
            return sizeof(TW_IMAGEMEMXFER);
        case DAT_PALETTE8:
            return sizeof(TW_PALETTE8);
        default:
            return 0;
    }
}

const char* datName(TW_UINT16 dat) {
    switch (dat) {
        case DAT_CAPABILITY:
            return "DAT_CAPABILITY";
        case DAT_EVENT:
            return "DAT_EVENT";
        case DAT_IDENTITY:
            return "DAT_IDENTITY";
        case DAT_PARENT:
            return "DAT_PARENT";
        case DAT_PENDINGXFERS:
            return "DAT_PENDINGXFERS";
        case DAT_SETUPMEMXFER:
            return "DAT_SETUPMEMXFER";
        case DAT_SETUPFILEXFER:
            return "DAT_SETUPFILEXFER";
        case DAT_STATUS:
            return "DAT_STATUS";
        case DAT_USERINTERFACE:
            return "DAT_USERINTERFACE";
        case DAT_IMAGEINFO:
            return "DAT_IMAGEINFO";
        case DAT_IMAGEMEMXFER:
            return "DAT_IMAGEMEMXFER";
        case DAT_IMAGENATIVEXFER:
            return "DAT_IMAGENATIVEXFER";
        case DAT_IMAGEFILEXFER:
            return "DAT_IMAGEFILEXFER";
        case DAT_PALETTE8:
            return "DAT_PALETTE8";
        default:
            return "DAT_?";
    }
}

const char* msgName(TW_UINT16 msg) {
    switch (msg) {
        case MSG_GET:
            return "MSG_GET";
        case MSG_GETCURRENT:
            return "MSG_GETCURRENT";
        case MSG_GETDEFAULT:
            return "MSG_GETDEFAULT";
        case MSG_GETFIRST:
            return "MSG_GETFIRST";
        case MSG_GETNEXT:
            return "MSG_GETNEXT";
        case MSG_SET:
            return "MSG_SET";
        case MSG_RESET:
            return "MSG_RESET";
        case MSG_OPENDSM:
            return "MSG_OPENDSM";
        case MSG_CLOSEDSM:
            return "MSG_CLOSEDSM";
        case MSG_OPENDS:
            return "MSG_OPENDS";
        case MSG_CLOSEDS:
            return "MSG_CLOSEDS";
        case MSG_USERSELECT:
            return "MSG_USERSELECT";
        case MSG_DISABLEDS:
            return "MSG_DISABLEDS";
        case MSG_ENABLEDS:
            return "MSG_ENABLEDS";
        case MSG_PROCESSEVENT:
            return "MSG_PROCESSEVENT";
        case MSG_ENDXFER:
            return "MSG_ENDXFER";
        default:
            return "MSG_?";
    }
}

bool isCall(const std::string& entry) { return entry.rfind("DAT_", 0) == 0; }

}  // namespace

Script& script() {
    static Script instance;
    return instance;
}

std::string tripletName(TW_UINT16 dat, TW_UINT16 msg) {
    return std::string(datName(dat)) + " " + msgName(msg);
}

void Script::reset() {
    sources.clear();
    defaultSource.reset();
    calls.clear();
    journal.clear();
    lifecycle.clear();
    parent = nullptr;
    during.clear();
    once_.clear();
    always_.clear();
    nextSource_ = 0;
}

void Script::once(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, Responder responder) {
    once_[{dg, dat, msg}].push_back(std::move(responder));
}

void Script::always(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, Responder responder) {
    always_[{dg, dat, msg}] = std::move(responder);
}

TW_UINT16 Script::handle(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                         TW_UINT16 msg, TW_MEMREF data, const std::string& module) {
    Call call;
    call.dg = dg;
    call.dat = dat;
    call.msg = msg;
    if (origin != nullptr) call.origin = *origin;
    if (dest != nullptr) call.dest = *dest;
    call.module = module;
    call.hasRecord = data != nullptr;
    if (data != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        call.record.assign(bytes, bytes + recordSize(dat));
        if (dat == DAT_EVENT) {
            const auto* event = static_cast<const TW_EVENT*>(data);
            if (event->pEvent != nullptr) call.event = *static_cast<const win::MSG*>(event->pEvent);
        }
    }
    if (dat == DAT_PARENT && msg == MSG_OPENDSM && data != nullptr)
        parent = static_cast<win::HWND>(*static_cast<TW_HANDLE*>(data));
    calls.push_back(call);
    journal.push_back(tripletName(dat, msg));

    const Triplet key{dg, dat, msg};
    if (auto it = during.find(key); it != during.end()) {
        auto action = std::move(it->second);
        during.erase(it);
        action();
    }
    if (auto it = once_.find(key); it != once_.end() && !it->second.empty()) {
        Responder responder = std::move(it->second.front());
        it->second.pop_front();
        return responder(data);
    }
    if (auto it = always_.find(key); it != always_.end()) return it->second(data);
    return builtIn(dat, msg, data);
}

TW_UINT16 Script::builtIn(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dat == DAT_IDENTITY && (msg == MSG_GETFIRST || msg == MSG_GETNEXT)) {
        if (msg == MSG_GETFIRST) nextSource_ = 0;
        if (nextSource_ >= sources.size()) return TWRC_ENDOFLIST;
        *static_cast<TW_IDENTITY*>(data) = sources[nextSource_++];
        return TWRC_SUCCESS;
    }
    if (dat == DAT_IDENTITY && msg == MSG_GETDEFAULT) {
        if (!defaultSource) return TWRC_FAILURE;
        *static_cast<TW_IDENTITY*>(data) = *defaultSource;
        return TWRC_SUCCESS;
    }
    if (dat == DAT_EVENT) return TWRC_NOTDSEVENT;
    return TWRC_SUCCESS;
}

std::vector<std::string> Script::triplets() const {
    std::vector<std::string> result;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(result), isCall);
    return result;
}

std::size_t Script::count(TW_UINT16 dat, TW_UINT16 msg) const {
    return static_cast<std::size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const Call& c) { return c.dat == dat && c.msg == msg; }));
}

const Call* Script::last(TW_UINT16 dat, TW_UINT16 msg) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->dat == dat && it->msg == msg) return &*it;
    return nullptr;
}

Responder returns(TW_UINT16 rc) {
    return [rc](TW_MEMREF) { return rc; };
}

Responder status(TW_UINT16 conditionCode) {
    return [conditionCode](TW_MEMREF data) {
        static_cast<TW_STATUS*>(data)->ConditionCode = conditionCode;
        return TWRC_SUCCESS;
    };
}

Responder identity(const TW_IDENTITY& value, TW_UINT16 rc) {
    return [value, rc](TW_MEMREF data) {
        *static_cast<TW_IDENTITY*>(data) = value;
        return rc;
    };
}

Responder enumeration(TW_UINT16 itemType, TW_UINT32 numItems, TW_UINT32 current,
                      TW_UINT32 defaultIndex, std::vector<std::uint8_t> items,
                      std::optional<std::size_t> blockSize) {
    return [=](TW_MEMREF data) {
        const std::size_t size = blockSize.value_or(14 + items.size());
        win::HGLOBAL memory = win::GlobalAlloc(win::GHND, size);
        auto* bytes = static_cast<std::uint8_t*>(win::GlobalLock(memory));
        std::vector<std::uint8_t> block(14 + items.size());
        TW_ENUMERATION head{};
        head.ItemType = itemType;
        head.NumItems = numItems;
        head.CurrentIndex = current;
        head.DefaultIndex = defaultIndex;
        std::memcpy(block.data(), &head, 14);
        std::copy(items.begin(), items.end(), block.begin() + 14);
        std::memcpy(bytes, block.data(), std::min(size, block.size()));
        win::GlobalUnlock(memory);
        auto* cap = static_cast<TW_CAPABILITY*>(data);
        cap->ConType = TWON_ENUMERATION;
        cap->hContainer = memory;
        return TWRC_SUCCESS;
    };
}

Responder uint16Enumeration(std::vector<TW_UINT16> items, TW_UINT32 current,
                            TW_UINT32 defaultIndex) {
    std::vector<std::uint8_t> bytes(items.size() * 2);
    std::memcpy(bytes.data(), items.data(), bytes.size());
    return enumeration(TWTY_UINT16, static_cast<TW_UINT32>(items.size()), current, defaultIndex,
                       bytes);
}

Responder oneValue(TW_UINT16 itemType, TW_UINT32 item) {
    return [=](TW_MEMREF data) {
        win::HGLOBAL memory = win::GlobalAlloc(win::GHND, sizeof(TW_ONEVALUE));
        auto* value = static_cast<TW_ONEVALUE*>(win::GlobalLock(memory));
        value->ItemType = itemType;
        value->Item = item;
        win::GlobalUnlock(memory);
        auto* cap = static_cast<TW_CAPABILITY*>(data);
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = memory;
        return TWRC_SUCCESS;
    };
}

Responder imageInfo(const TW_IMAGEINFO& info, TW_UINT16 rc) {
    return [info, rc](TW_MEMREF data) {
        *static_cast<TW_IMAGEINFO*>(data) = info;
        return rc;
    };
}

Responder setupMem(TW_UINT32 preferred, TW_UINT16 rc) {
    return [preferred, rc](TW_MEMREF data) {
        auto* setup = static_cast<TW_SETUPMEMXFER*>(data);
        setup->MinBufSize = preferred;
        setup->MaxBufSize = preferred;
        setup->Preferred = preferred;
        return rc;
    };
}

Responder strip(std::vector<std::uint8_t> bytes, TW_UINT16 rc, std::optional<TW_UINT32> claimed) {
    return [bytes = std::move(bytes), rc, claimed](TW_MEMREF data) {
        auto* xfer = static_cast<TW_IMAGEMEMXFER*>(data);
        const std::size_t fits = std::min<std::size_t>(bytes.size(), xfer->Memory.Length);
        if (xfer->Memory.TheMem != nullptr && fits > 0)
            std::memcpy(xfer->Memory.TheMem, bytes.data(), fits);
        xfer->BytesWritten = claimed.value_or(static_cast<TW_UINT32>(bytes.size()));
        return rc;
    };
}

Responder pending(TW_UINT16 count, TW_UINT16 rc) {
    return [count, rc](TW_MEMREF data) {
        static_cast<TW_PENDINGXFERS*>(data)->Count = count;
        return rc;
    };
}

Responder palette(const TW_PALETTE8& value, TW_UINT16 rc) {
    return [value, rc](TW_MEMREF data) {
        *static_cast<TW_PALETTE8*>(data) = value;
        return rc;
    };
}

Responder nativeDib(std::vector<std::uint8_t> bytes, TW_UINT16 rc) {
    return [bytes = std::move(bytes), rc](TW_MEMREF data) {
        win::HGLOBAL memory = win::GlobalAlloc(win::GHND, bytes.size());
        std::memcpy(win::GlobalLock(memory), bytes.data(), bytes.size());
        win::GlobalUnlock(memory);
        *static_cast<TW_HANDLE*>(data) = memory;
        return rc;
    };
}

Responder setupFile(const std::string& fileName, TW_UINT16 format, TW_UINT16 rc) {
    return [fileName, format, rc](TW_MEMREF data) {
        auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
        std::memset(setup->FileName, 0, sizeof setup->FileName);
        fileName.copy(setup->FileName, sizeof setup->FileName - 1);
        setup->Format = format;
        return rc;
    };
}

Responder processEvent(TW_UINT16 rc, TW_UINT16 twMessage) {
    return [rc, twMessage](TW_MEMREF data) {
        static_cast<TW_EVENT*>(data)->TWMessage = twMessage;
        return rc;
    };
}

Responder postToParent(win::UINT message, TW_UINT16 rc) {
    return [message, rc](TW_MEMREF) {
        win::PostMessage(script().parent, message, 0, 0);
        return rc;
    };
}

TW_IDENTITY makeIdentity(TW_UINT32 id, const std::string& productName) {
    TW_IDENTITY identity{};
    identity.Id = id;
    identity.Version.MajorNum = 2;
    identity.ProtocolMajor = 1;
    identity.ProtocolMinor = 9;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    productName.copy(identity.ProductName, sizeof identity.ProductName - 1);
    std::string("Scripted").copy(identity.Manufacturer, sizeof identity.Manufacturer - 1);
    return identity;
}

}  // namespace dsmscript
