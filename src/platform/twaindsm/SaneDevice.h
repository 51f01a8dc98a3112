#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include "platform/twaindsm/ImageDevice.h"
#include "platform/twaindsm/SaneBackend.h"
#include "platform/twaindsm/ScanRaster.h"

class QEventLoop;
class QObject;

namespace brevanto::twaindsm {

class SaneDialog;

// Page sizes the dialog offers, in millimetres.
struct PageSize {
    const char* key;  // as remembered: "A4", "A5", "Letter", "Legal"
    const char* caption;
    double widthMm;
    double heightMm;
};
const std::vector<PageSize>& pageSizes();

// What a clerk picks in a SANE source's dialog, remembered per device between runs.
struct SaneChoices {
    TW_INT16 pixelType = TWPT_RGB;  // colour, grey, or black and white
    int dpi = 200;
    bool feeder = false;  // the document feeder, else the flatbed
    std::string pageSize = "A4";
    // SANE options set after the ones above, as "name=value" separated by ";" (for a
    // technician, and for tests: "depth=16;three-pass=yes").
    std::string options;
};

// The file the choices of every SANE device are remembered in: beside the scanner settings
// file, so a test or a demo with its own settings keeps its own.
std::string saneChoicesPath();
std::optional<SaneChoices> loadSaneChoices(const std::string& path, const std::string& device);
void saveSaneChoices(const std::string& path, const std::string& device, const SaneChoices& c);

// One scanner that SANE lists, as a device behind a TWAIN source. Opened with the source
// (sane_open); "Digitalizar" sets its SANE options from the clerk's choices and reads the
// sheets on a thread of its own, each sheet whole into memory (SanePageBuilder), so the
// dialog keeps running while the scanner works and the application's transfer starts only
// once a sheet is complete. From a feeder it reads sheet after sheet until SANE reports the
// feeder empty; the sheets read wait, in order, to be fed to the source.
//
// SANE's handle is used by one thread at a time: options on the GUI thread while no reading
// runs, sane_start/sane_read on the reading thread; only sane_cancel, which SANE allows at any
// time, crosses over. Owned by its DataSource; owns the SANE handle and the reading thread.
class SaneDevice final : public ImageDevice {
  public:
    SaneDevice(SaneLibrary::Device device, std::string productName, std::string choicesPath);
    ~SaneDevice() override;
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;

    const std::string& productName() const override { return productName_; }
    ScanParameters& parameters() override { return parameters_; }
    const ScanParameters& defaults() const override { return defaults_; }
    std::vector<TW_INT16> pixelTypes() const override;
    std::vector<int> resolutions() const override { return resolutions_; }
    void reset() override;
    std::vector<Rgb> palette() const override;
    ImageGeometry pageGeometry() const override;
    std::unique_ptr<PageReader> feedSheet(int sheet) override;
    TW_UINT16 open() override;
    void close() override;
    std::unique_ptr<SourceDialog> openDialog(bool modal, SourceDialog::Actions actions) override;

    bool readsAhead() const override { return true; }
    void startReading(std::function<void()> sheetRead) override;
    int sheetsReady() override;
    void stopReading() override;

    // For the dialog.
    const std::string& deviceName() const { return device_.name; }
    const SaneChoices& choices() const { return choices_; }
    bool hasFeeder() const { return !feederSource_.empty(); }
    bool hasFlatbed() const { return !flatbedSource_.empty(); }
    // Takes the dialog's choices: remembered, and the scan's settings.
    void choose(const SaneChoices& choices);
    bool reading() const;
    // Cancels the sheet being read (the reading thread ends with a cancelled sheet).
    void cancelReading();

  private:
    struct Sheet {
        ScanRaster page;
        int dpi = 0;
        std::optional<ReadResult> failure;
    };

    void readSheets(std::uint64_t generation, bool feeder, TW_UINT16 flavor, int dpi);
    void push(std::uint64_t generation, Sheet sheet);
    void notify(std::uint64_t generation);
    void workerNews(std::uint64_t generation);
    void applyChoices();
    void findResolutions();
    void findSources();
    SANE_Int optionIndex(const char* name, const SANE_Option_Descriptor** found) const;
    bool setNumber(const char* name, double value);
    bool setText(const char* name, const std::string& value);
    bool setOption(const std::string& name, const std::string& value);
    std::vector<std::string> textChoices(const char* name) const;
    std::vector<int> depthChoices() const;

    SaneLibrary::Device device_;
    std::string productName_;
    std::string choicesPath_;
    SANE_Handle handle_ = nullptr;
    SaneChoices choices_;
    ScanParameters defaults_;
    ScanParameters parameters_;
    std::vector<int> resolutions_;
    std::string flatbedSource_;
    std::string feederSource_;

    std::unique_ptr<QObject> notifier_;  // lives on the GUI thread; the reading thread's news
    SaneDialog* dialog_ = nullptr;       // the open dialog, if any (it tells us when it goes)
    std::function<void()> sheetRead_;
    QEventLoop* waiting_ = nullptr;

    std::thread reader_;
    mutable std::mutex mutex_;
    // sane_cancel may interrupt a read on another thread, but two cancels at once are not
    // something every backend survives.
    std::mutex cancelMutex_;
    bool inRead_ = false;  // guarded by cancelMutex_
    std::condition_variable changed_;
    std::deque<Sheet> sheets_;
    bool finished_ = true;
    std::atomic<bool> stop_{false};
    void cancelDevice();
    std::atomic<int> percent_{0};
    std::uint64_t generation_ = 0;
    std::uint64_t newsGeneration_ = 0;  // guarded by mutex_
    bool newsPosted_ = false;           // guarded by mutex_

    friend class SaneDialog;
};

}  // namespace brevanto::twaindsm
