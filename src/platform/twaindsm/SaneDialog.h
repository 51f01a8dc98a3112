#pragma once

#include <memory>

#include "platform/twaindsm/ImageDevice.h"

namespace brevanto::twaindsm {

class SaneDevice;

// A SANE source's own user interface: colour mode, resolution (the device's, the usual ones
// first), source (flatbed or feeder, when the device has both) and page size, the clerk's last
// choices for that device preselected; "Digitalizar" remembers the choices and starts the scan,
// with a progress bar while the sheet is read; "Cancelar" cancels a sheet being read, and
// otherwise asks for the source to be closed. Qt stays inside.
class SaneDialog final : public SourceDialog {
  public:
    // Shows the dialog at once (application-modal when modal).
    SaneDialog(SaneDevice& device, bool modal, Actions actions);
    ~SaneDialog() override;
    SaneDialog(const SaneDialog&) = delete;
    SaneDialog& operator=(const SaneDialog&) = delete;

    void setBusy(bool busy) override;
    // Percent of the sheet read; -1 while its length is unknown.
    void showProgress(int percent);

  private:
    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
};

}  // namespace brevanto::twaindsm
