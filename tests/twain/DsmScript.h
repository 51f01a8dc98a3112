#pragma once

// The script and the journal of the scripted source manager (ScriptedDsm.cpp). This is a shared
// library of its own, linked by the tests and by every copy of the scripted source manager, so
// that a test sets answers and reads calls whatever copy the manager loaded.
//
// Each call is journalled with its triplet and a copy of its record as it arrived. Answers come
// from responders: one-shot responders queued for a triplet are used first, in order, then the
// standing responder of that triplet, then the built-in answers (source listing from
// `sources`, success for everything else). Test event handlers write to the same journal, so
// one list shows calls and events in the order they happened.

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win/WinTypes.h"
#include "twain/Twain.h"

namespace dsmscript {

struct Call {
    TW_UINT32 dg = 0;
    TW_UINT16 dat = 0;
    TW_UINT16 msg = 0;
    TW_IDENTITY origin{};
    std::optional<TW_IDENTITY> dest;
    std::vector<std::uint8_t> record;  // the record's bytes on arrival
    std::optional<win::MSG> event;     // DAT_EVENT: the message pEvent pointed at
    std::string module;                // path of the copy of the library that answered
    bool hasRecord = false;

    template <typename Record>
    Record as() const {
        Record r{};
        if (record.size() >= sizeof r) std::memcpy(&r, record.data(), sizeof r);
        return r;
    }
};

using Responder = std::function<TW_UINT16(TW_MEMREF data)>;
using Triplet = std::tuple<TW_UINT32, TW_UINT16, TW_UINT16>;

class Script {
  public:
    void reset();

    // Answers for one triplet: once() is used by the next call only, always() by every call
    // that finds no one-shot answer queued.
    void once(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, Responder responder);
    void always(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, Responder responder);

    // Built-in listing answers.
    std::vector<TW_IDENTITY> sources;
    std::optional<TW_IDENTITY> defaultSource;  // GETDEFAULT fails when empty

    // What the library's copies reported about themselves ("loaded <path>", "unloaded <path>").
    std::vector<std::string> lifecycle;

    std::vector<Call> calls;
    // Calls as "DAT_X MSG_Y" and events as the tests write them, in order.
    std::vector<std::string> journal;
    // The parent window the last MSG_OPENDSM was given.
    win::HWND parent = nullptr;
    // Code run inside the next call of a triplet before it is answered (a modal dialog's loop).
    std::map<Triplet, std::function<void()>> during;

    TW_UINT16 handle(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                     TW_UINT16 msg, TW_MEMREF data, const std::string& module);

    // Journal entries of calls only.
    std::vector<std::string> triplets() const;
    std::size_t count(TW_UINT16 dat, TW_UINT16 msg) const;
    const Call* last(TW_UINT16 dat, TW_UINT16 msg) const;

  private:
    TW_UINT16 builtIn(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    std::map<Triplet, std::deque<Responder>> once_;
    std::map<Triplet, Responder> always_;
    std::size_t nextSource_ = 0;
};

Script& script();

std::string tripletName(TW_UINT16 dat, TW_UINT16 msg);

// Responders.
Responder returns(TW_UINT16 rc);
Responder status(TW_UINT16 conditionCode);
Responder identity(const TW_IDENTITY& value, TW_UINT16 rc = TWRC_SUCCESS);
// An enumeration container of numItems items of itemType; items holds their packed bytes. The
// block is exactly 14 + items.size() bytes unless blockSize says otherwise.
Responder enumeration(TW_UINT16 itemType, TW_UINT32 numItems, TW_UINT32 current,
                      TW_UINT32 defaultIndex, std::vector<std::uint8_t> items,
                      std::optional<std::size_t> blockSize = std::nullopt);
Responder uint16Enumeration(std::vector<TW_UINT16> items, TW_UINT32 current,
                            TW_UINT32 defaultIndex);
Responder oneValue(TW_UINT16 itemType, TW_UINT32 item);
Responder imageInfo(const TW_IMAGEINFO& info, TW_UINT16 rc = TWRC_SUCCESS);
Responder setupMem(TW_UINT32 preferred, TW_UINT16 rc = TWRC_SUCCESS);
// Copies at most Memory.Length bytes of bytes to TheMem; BytesWritten reports claimed bytes
// (default: bytes.size()).
Responder strip(std::vector<std::uint8_t> bytes, TW_UINT16 rc,
                std::optional<TW_UINT32> claimed = std::nullopt);
Responder pending(TW_UINT16 count, TW_UINT16 rc = TWRC_SUCCESS);
Responder palette(const TW_PALETTE8& value, TW_UINT16 rc = TWRC_SUCCESS);
// A movable block holding the bytes, stored through the TW_HANDLE the call passes.
Responder nativeDib(std::vector<std::uint8_t> bytes, TW_UINT16 rc = TWRC_XFERDONE);
Responder setupFile(const std::string& fileName, TW_UINT16 format, TW_UINT16 rc = TWRC_SUCCESS);
Responder processEvent(TW_UINT16 rc, TW_UINT16 twMessage = MSG_NULL);
// Posts message to the parent window of the last MSG_OPENDSM, then answers rc.
Responder postToParent(win::UINT message, TW_UINT16 rc = TWRC_SUCCESS);

TW_IDENTITY makeIdentity(TW_UINT32 id, const std::string& productName);

}  // namespace dsmscript
