#pragma once

// The event types of the TWAIN acquisition component. Sender is the manager or the source
// object, as each event documents; Index is the source's position in the manager's list. The
// Image of TOnTwainAcquire belongs to the component and is freed when the handler returns; a
// handler that keeps the picture copies it.

#include <functional>

#include "platform/win/WinTypes.h"
#include "twain/Twain.h"
#include "twain/TwainEnums.h"

namespace brevanto::graphics {
class Bitmap;
}

namespace twain {

// The common base of what events pass as Sender (the manager, a source).
class TTwainObject {
  public:
    virtual ~TTwainObject();

  protected:
    TTwainObject() = default;
    TTwainObject(const TTwainObject&) = default;
    TTwainObject& operator=(const TTwainObject&) = default;
};

using TOnSourceNotify = std::function<void(TTwainObject* Sender, int Index)>;
using TOnTwainAcquire = std::function<void(TTwainObject* Sender, int Index,
                                           brevanto::graphics::Bitmap* Image, bool& Cancel)>;
using TOnAcquireProgress = std::function<void(TTwainObject* Sender, int Index, win::HBITMAP Image,
                                              int Current, int Total)>;
using TOnTwainError =
    std::function<void(TTwainObject* Sender, int Index, int ErrorCode, int Additional)>;
// Filename is a private copy of the source's 256-byte file name.
using TOnSourceFileTransfer = std::function<void(
    TTwainObject* Sender, int Index, TW_STR255& Filename, TTwainFormat Format, bool& Cancel)>;

}  // namespace twain
