#include "platform/twaindsm/VirtualScanner.h"

#include <algorithm>
#include <cstring>

#include "platform/twaindsm/ScanDialog.h"
#include "platform/twaindsm/ScanRaster.h"
#include "platform/twaindsm/SyntheticPage.h"

namespace brevanto::twaindsm {

namespace {

// Which fault, if any, a sheet meets, and after how many reads.
struct SheetFault {
    ReadOutcome outcome = ReadOutcome::More;  // More: none
    int afterReads = 0;
};

class VirtualPageReader final : public PageReader {
  public:
    VirtualPageReader(ScanRaster raster, int dpi, SheetFault fault)
        : raster_(std::move(raster)), fault_(fault) {
        geometry_.width = raster_.width;
        geometry_.height = raster_.height;
        geometry_.pixelType = raster_.pixelType;
        geometry_.bitsPerPixel = raster_.bitsPerPixel;
        geometry_.rowBytes = raster_.rowBytes;
        geometry_.dpi = dpi;
    }

    const ImageGeometry& geometry() const override { return geometry_; }
    const std::vector<Rgb>& palette() const override { return raster_.palette; }

    ReadResult read(std::uint8_t* out, std::size_t capacity) override {
        if (finished_) return {0, ReadOutcome::Done};
        if (fault_.outcome != ReadOutcome::More && reads_ == fault_.afterReads) {
            finished_ = true;
            return {0, fault_.outcome};
        }
        ++reads_;
        const std::size_t count = std::min(capacity, raster_.size() - position_);
        std::memcpy(out, raster_.bytes.data() + position_, count);
        position_ += count;
        if (position_ < raster_.size()) return {count, ReadOutcome::More};
        finished_ = true;
        return {count, ReadOutcome::Done};
    }

  private:
    ScanRaster raster_;
    SheetFault fault_;
    ImageGeometry geometry_;
    std::size_t position_ = 0;
    int reads_ = 0;
    bool finished_ = false;
};

ScanParameters parametersFrom(const ScannerSettings& s) {
    ScanParameters p;
    p.pixelType = s.pixelType;
    p.dpi = s.dpi;
    p.units = s.units;
    p.pixelFlavor = s.pixelFlavor;
    p.sheets = s.sheets;
    return p;
}

}  // namespace

VirtualScanner::VirtualScanner(ScannerSettings settings)
    : settings_(std::move(settings)),
      defaults_(parametersFrom(settings_)),
      parameters_(defaults_) {}

std::vector<TW_INT16> VirtualScanner::pixelTypes() const {
    return {TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE};
}

std::vector<int> VirtualScanner::resolutions() const {
    std::vector<int> list{75, 100, 150, 200, 300, 600};
    if (std::find(list.begin(), list.end(), defaults_.dpi) == list.end()) {
        list.push_back(defaults_.dpi);
        std::sort(list.begin(), list.end());
    }
    return list;
}

void VirtualScanner::reset() {
    parameters_ = defaults_;
    pagesScanned_ = 0;
}

std::vector<Rgb> VirtualScanner::palette() const {
    return paletteFor(parameters_.pixelType, parameters_.pixelFlavor);
}

ImageGeometry VirtualScanner::pageGeometry() const {
    ImageGeometry g;
    g.width = std::max(1, millimetresToPixels(settings_.pageWidthMm, parameters_.dpi));
    g.height = std::max(1, millimetresToPixels(settings_.pageHeightMm, parameters_.dpi));
    g.pixelType = parameters_.pixelType;
    g.bitsPerPixel = bitsPerPixelOf(parameters_.pixelType);
    g.rowBytes = rowBytesFor(g.width, g.bitsPerPixel);
    g.dpi = parameters_.dpi;
    return g;
}

std::unique_ptr<PageReader> VirtualScanner::feedSheet(int sheet) {
    const ImageGeometry g = pageGeometry();
    PageSpec spec;
    spec.width = g.width;
    spec.height = g.height;
    spec.dpi = g.dpi;
    spec.pageNumber = ++pagesScanned_;
    spec.sourceName = settings_.name;
    SheetFault fault;
    if (settings_.jamSheet == sheet) {
        fault = {ReadOutcome::Jammed, settings_.jamAfterStrips};
    } else if (settings_.cancelSheet == sheet) {
        fault = {ReadOutcome::Cancelled, settings_.cancelAfterStrips};
    }
    return std::make_unique<VirtualPageReader>(
        encodeRaster(renderPage(spec), parameters_.pixelType, parameters_.pixelFlavor), g.dpi,
        fault);
}

std::unique_ptr<SourceDialog> VirtualScanner::openDialog(bool modal,
                                                         SourceDialog::Actions actions) {
    return std::make_unique<ScanDialog>(*this, modal, std::move(actions));
}

}  // namespace brevanto::twaindsm
