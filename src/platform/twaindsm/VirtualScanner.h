#pragma once

#include "platform/twaindsm/DsmSettings.h"
#include "platform/twaindsm/ImageDevice.h"

namespace brevanto::twaindsm {

// The virtual scanner: a sheet feeder whose pages are synthetic documents (see SyntheticPage)
// in the configured size, resolution and pixel type, with paper jams and user cancels on
// demand. Page numbers count from 1 each time the source is opened.
class VirtualScanner final : public ImageDevice {
  public:
    explicit VirtualScanner(ScannerSettings settings);

    const std::string& productName() const override { return settings_.name; }
    ScanParameters& parameters() override { return parameters_; }
    const ScanParameters& defaults() const override { return defaults_; }
    std::vector<TW_INT16> pixelTypes() const override;
    std::vector<int> resolutions() const override;
    void reset() override;
    std::vector<Rgb> palette() const override;
    ImageGeometry pageGeometry() const override;
    std::unique_ptr<PageReader> feedSheet(int sheet) override;
    std::unique_ptr<SourceDialog> openDialog(bool modal, SourceDialog::Actions actions) override;

    const ScannerSettings& settings() const { return settings_; }

  private:
    ScannerSettings settings_;
    ScanParameters defaults_;
    ScanParameters parameters_;
    int pagesScanned_ = 0;
};

}  // namespace brevanto::twaindsm
