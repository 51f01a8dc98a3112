#pragma once

#include <string>
#include <vector>

#include <sane/sane.h>

#include "platform/twaindsm/ImageDevice.h"
#include "twain/Twain.h"

namespace brevanto::twaindsm {

// SANE, initialised while an instance lives (sane_init ... sane_exit). SANE reads its
// configuration (dll.conf, each backend's .conf) from SANE_CONFIG_DIR when that is set, else
// from /etc/sane.d. One instance at a time; owned by the source manager, and outlived by
// nothing that holds a SANE handle.
class SaneLibrary final {
  public:
    struct Device {
        std::string name;  // SANE's device name, e.g. "airscan:e0:Office" or "test:0"
        std::string vendor;
        std::string model;
        std::string type;
    };

    SaneLibrary();
    ~SaneLibrary();
    SaneLibrary(const SaneLibrary&) = delete;
    SaneLibrary& operator=(const SaneLibrary&) = delete;

    bool ready() const { return ready_; }
    // Every device SANE finds, local and on the network, in SANE's order.
    std::vector<Device> devices() const;

  private:
    bool ready_ = false;
};

// How a SANE status other than good or end-of-file reaches the application: cancelled is a
// cancel (TWRC_CANCEL); everything else a failure with the nearest TWAIN condition code
// (jammed: paper jam, no documents: no media, cover open: interlock, busy: in use by another
// application, I/O error: device offline, ...).
ReadResult readResultFor(SANE_Status status);

// The TWAIN identity of a SANE device: its Id follows from the device name alone, so it stays
// the same from run to run; the product name is given (at most 33 characters).
TW_IDENTITY saneIdentity(const SaneLibrary::Device& device, const std::string& productName,
                         TW_UINT32 id);

// The Id range of SANE sources, apart from the virtual scanners' (0x100 onwards).
TW_UINT32 saneSourceId(const std::string& deviceName);

}  // namespace brevanto::twaindsm
