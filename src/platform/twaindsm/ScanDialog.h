#pragma once

#include <functional>
#include <memory>

#include "platform/twaindsm/ImageDevice.h"

namespace brevanto::twaindsm {

// The source's own user interface while it is enabled: sheets in the feeder, pixel type,
// resolution, "Scan" and "Cancel". "Scan" stores the choices in the device's parameters, then
// calls scan; "Cancel" or closing the window calls cancel. The source owns the dialog and
// destroys it when it is disabled; no action is called after that. Qt stays inside.
class ScanDialog final : public SourceDialog {
  public:
    // Whether a Qt widget application is running to show dialogs in.
    static bool guiAvailable();

    // Shows the dialog at once (application-modal when modal); requires guiAvailable().
    ScanDialog(ImageDevice& device, bool modal, Actions actions);
    ~ScanDialog() override;
    ScanDialog(const ScanDialog&) = delete;
    ScanDialog& operator=(const ScanDialog&) = delete;

    // While a scan runs the controls are disabled.
    void setBusy(bool busy) override;

  private:
    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
};

}  // namespace brevanto::twaindsm
