// The real source manager driven through the acquisition component exactly as "Capturar"
// drives it, with the Qt event loop delivering the source's posted requests.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include "DsmTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/twaindsm/SyntheticPage.h"
#include "platform/win/Directories.h"
#include "platform/win/qt/QtMessagePump.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace twaindsmtest {
namespace {

using brevanto::graphics::Bitmap;
using brevanto::graphics::RgbColor;
using namespace brevanto::twaindsm;
using namespace twain;

constexpr double kWidthMm = 50;
constexpr double kHeightMm = 40;
constexpr int kDpi = 100;
const std::string kSourceName = "Brevanto Virtual Scanner";

std::string iniText(const std::string& scanner) {
    return "[SourceManager]\nAutoSelect=default\nVirtualScanner=true\n"
           "[VirtualScanner]\nAutoScan=true\nPageWidthMm=50\nPageHeightMm=40\nResolution=100\n"
           "StripSize=1001\n" +
           scanner;
}

// One program run: the component on a main window, its events written down.
class Capture {
  public:
    explicit Capture(const std::string& scanner) : ini_(iniText(scanner)) {
        // Only the program's folder holds the library: no installed copy may interfere.
        win::SetFolderOverride(win::SystemFolder::Windows, ini_.folder().string());
        win::SetFolderOverride(win::SystemFolder::System, ini_.folder().string());
        manager_ = std::make_unique<TTwainManager>();
        manager_->OnTwainAcquire = [this](TTwainObject*, int, Bitmap* image, bool& cancel) {
            journal.push_back("acquire");
            images.push_back(*image);  // the image is the component's: keep a copy
            cancel = setCancel;
        };
        manager_->OnSourceDisable = [this](TTwainObject*, int) {
            journal.push_back("disable");
            disabled_ = true;
        };
        manager_->OnAcquireCancel = [this](TTwainObject*, int) { journal.push_back("cancel"); };
        manager_->OnAcquireError = [this](TTwainObject*, int, int code, int condition) {
            journal.push_back("error " + std::to_string(code) + " " + std::to_string(condition));
        };
        manager_->OnSourceFileTransfer = [this](TTwainObject*, int, TW_STR255& name,
                                                TTwainFormat format, bool& cancel) {
            journal.push_back(format == tfBMP ? "file bmp" : "file other");
            files.emplace_back(name);
            cancel = setCancel;
        };
    }

    ~Capture() {
        manager_.reset();
        win::SetFolderOverride(win::SystemFolder::Windows, std::nullopt);
        win::SetFolderOverride(win::SystemFolder::System, std::nullopt);
    }

    TTwainManager& manager() { return *manager_; }
    IniFile& ini() { return ini_; }

    // "Capturar": load, open, choose, open the source, set the mode, enable; then the event
    // loop runs until the source has been disabled again.
    TTwainSource* press(TTwainTransferMode mode, bool waitForDisable = true) {
        if (!manager_->LoadTwainLibrary()) return nullptr;
        manager_->SetSourceManagerLoaded(true);
        const int index = manager_->ChooseSource();
        if (index < 0) return nullptr;
        TTwainSource* source = manager_->Sources(index);
        source->SetLoaded(true);
        source->SetTransferMode(mode);
        disabled_ = false;
        source->SetEnabled(true);
        if (waitForDisable) runUntilDisabled();
        return source;
    }

    void runUntilDisabled() {
        for (int round = 0; round < 10000 && !disabled_; ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    std::vector<std::string> journal;
    std::vector<Bitmap> images;
    std::vector<std::string> files;
    bool setCancel = true;

  private:
    IniFile ini_;
    win::QtMessagePump pump_;
    std::unique_ptr<TTwainManager> manager_;
    bool disabled_ = false;
};

void expectPage(const Bitmap& image, int pageNumber, TW_INT16 pixelType) {
    const ScanRaster expected =
        expectedRaster(kWidthMm, kHeightMm, kDpi, pageNumber, kSourceName, pixelType);
    ASSERT_EQ(image.width(), expected.width);
    ASSERT_EQ(image.height(), expected.height);
    int mismatches = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const RgbColor got = image.pixel(x, y);
            const Rgb want = expected.pixel(x, y);
            if (got.red != want.red || got.green != want.green || got.blue != want.blue)
                if (++mismatches < 5) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(TwainDsmCapture, MemoryScanDeliversOnePageAndKeepsTheSourceOpen) {
    Capture capture("Sheets=3\n");
    TTwainSource* source = capture.press(ttmMemory);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(capture.journal, (std::vector<std::string>{"acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 1u);
    EXPECT_TRUE(source->Loaded());
    EXPECT_FALSE(source->Enabled());
    EXPECT_EQ(source->ProductName(), kSourceName);

    // Known pixels: the top row is white margin, the title's first dot is black, and the
    // colour patches read red, green and blue from left to right.
    const Bitmap& page = capture.images[0];
    PageSpec spec;
    spec.width = page.width();
    spec.height = page.height();
    spec.dpi = kDpi;
    spec.pageNumber = 1;
    spec.sourceName = kSourceName;
    const PageLayout layout = layoutPage(spec);
    EXPECT_EQ(page.pixel(layout.title.x, 0), (RgbColor{255, 255, 255}));
    EXPECT_EQ(page.pixel(layout.title.x, layout.title.y), (RgbColor{0, 0, 0}));
    EXPECT_EQ(page.pixel(layout.redPatch.centerX(), layout.redPatch.centerY()),
              (RgbColor{255, 0, 0}));
    EXPECT_EQ(page.pixel(layout.greenPatch.centerX(), layout.greenPatch.centerY()),
              (RgbColor{0, 255, 0}));
    EXPECT_EQ(page.pixel(layout.bluePatch.centerX(), layout.bluePatch.centerY()),
              (RgbColor{0, 0, 255}));
    expectPage(page, 1, TWPT_RGB);
    EXPECT_EQ(page.xPelsPerMeter(), 3937);

    // The next press scans a fresh feeder: the discarded sheets were never fetched, and the
    // page numbers go on.
    capture.journal.clear();
    ASSERT_EQ(capture.press(ttmMemory), source);
    EXPECT_EQ(capture.journal, (std::vector<std::string>{"acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 2u);
    expectPage(capture.images[1], 2, TWPT_RGB);
}

TEST(TwainDsmCapture, WithoutCancelEverySheetArrives) {
    Capture capture("Sheets=3\nPixelType=Gray\n");
    capture.setCancel = false;
    ASSERT_NE(capture.press(ttmMemory), nullptr);
    EXPECT_EQ(capture.journal,
              (std::vector<std::string>{"acquire", "acquire", "acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 3u);
    for (int page = 1; page <= 3; ++page) expectPage(capture.images[page - 1], page, TWPT_GRAY);
}

struct ModeCase {
    const char* name;
    TTwainTransferMode mode;
    const char* pixelType;
    TW_INT16 twainPixelType;
};

class TwainDsmCaptureMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(TwainDsmCaptureMode, DeliversTheScannedPage) {
    const ModeCase& c = GetParam();
    Capture capture(std::string("PixelType=") + c.pixelType + "\n");
    const std::filesystem::path file = capture.ini().folder() / "scan.bmp";
    capture.ini().rewrite(iniText(std::string("PixelType=") + c.pixelType +
                                  "\nTransferFile=" + file.string() + "\n"));
    ASSERT_NE(capture.press(c.mode), nullptr);
    if (c.mode == ttmFile) {
        EXPECT_EQ(capture.journal, (std::vector<std::string>{"file bmp", "disable"}));
        ASSERT_EQ(capture.files, std::vector<std::string>{file.string()});
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        expectPage(brevanto::graphics::decodeBmpFile(bytes.data(), bytes.size()), 1,
                   c.twainPixelType);
    } else {
        EXPECT_EQ(capture.journal, (std::vector<std::string>{"acquire", "disable"}));
        ASSERT_EQ(capture.images.size(), 1u);
        expectPage(capture.images[0], 1, c.twainPixelType);
    }
}

std::vector<ModeCase> modeCases() {
    std::vector<ModeCase> cases;
    const std::pair<const char*, TTwainTransferMode> modes[] = {
        {"Memory", ttmMemory}, {"Native", ttmNative}, {"File", ttmFile}};
    const std::pair<const char*, TW_INT16> types[] = {
        {"BW", TWPT_BW}, {"Gray", TWPT_GRAY}, {"RGB", TWPT_RGB}, {"Palette", TWPT_PALETTE}};
    for (const auto& [modeName, mode] : modes)
        for (const auto& [typeName, type] : types)
            cases.push_back({modeName, mode, typeName, type});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryModeAndPixelType, TwainDsmCaptureMode,
                         ::testing::ValuesIn(modeCases()), [](const auto& info) {
                             return std::string(info.param.name) + info.param.pixelType;
                         });

struct FaultCase {
    const char* name;
    const char* scanner;
    TTwainTransferMode mode;
    std::vector<std::string> journal;
    std::size_t images;
};

class TwainDsmCaptureFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(TwainDsmCaptureFault, IsReportedAndKeepsWhatArrivedBefore) {
    const FaultCase& c = GetParam();
    Capture capture(c.scanner);
    capture.setCancel = false;
    TTwainSource* source = capture.press(c.mode);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(capture.journal, c.journal);
    ASSERT_EQ(capture.images.size(), c.images);
    for (std::size_t i = 0; i < c.images; ++i)
        expectPage(capture.images[i], static_cast<int>(i) + 1, TWPT_RGB);
    EXPECT_TRUE(source->Loaded());
    EXPECT_FALSE(source->Enabled());
}

const FaultCase kFaults[] = {
    {"JamInMemoryMode",
     "Sheets=3\nJamSheet=2\nJamAfterStrips=3\n",
     ttmMemory,
     {"acquire", "error 1 20", "disable"},
     1},
    {"JamInNativeMode",
     "Sheets=3\nJamSheet=2\nJamAfterStrips=3\n",
     ttmNative,
     {"acquire", "error 1 20", "disable"},
     1},
    {"JamOnTheFirstStrip",
     "JamSheet=1\nJamAfterStrips=0\n",
     ttmMemory,
     {"error 1 20", "disable"},
     0},
    {"CancelInMemoryMode",
     "Sheets=3\nCancelSheet=2\nCancelAfterStrips=2\n",
     ttmMemory,
     {"acquire", "cancel", "disable"},
     1},
    {"CancelInNativeMode", "Sheets=2\nCancelSheet=1\n", ttmNative, {"cancel", "disable"}, 0},
    {"EmptyFeederInMemoryMode", "Sheets=0\n", ttmMemory, {"error 1 29", "disable"}, 0},
    {"EmptyFeederInNativeMode", "Sheets=0\n", ttmNative, {"error 1 29", "disable"}, 0},
};

INSTANTIATE_TEST_SUITE_P(Faults, TwainDsmCaptureFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

QDialog* scannerDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "virtualScannerDialog" && widget->isVisible())
            return qobject_cast<QDialog*>(widget);
    return nullptr;
}

TEST(TwainDsmCapture, TheScannersDialogScansOrCancels) {
    Capture capture("AutoScan=false\nSheets=2\n");
    // Cancel: the close request arrives as a posted message and disables the source.
    TTwainSource* source = capture.press(ttmMemory, false);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(scannerDialog(), nullptr);
    scannerDialog()->findChild<QPushButton*>("cancel")->click();
    capture.runUntilDisabled();
    EXPECT_EQ(capture.journal, (std::vector<std::string>{"cancel", "disable"}));
    EXPECT_TRUE(source->Loaded());
    EXPECT_FALSE(source->Enabled());
    EXPECT_EQ(scannerDialog(), nullptr);

    // Scan: one page, then the dialog goes away with the disable.
    capture.journal.clear();
    ASSERT_EQ(capture.press(ttmMemory, false), source);
    ASSERT_NE(scannerDialog(), nullptr);
    scannerDialog()->findChild<QPushButton*>("scan")->click();
    capture.runUntilDisabled();
    EXPECT_EQ(capture.journal, (std::vector<std::string>{"acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 1u);
    expectPage(capture.images[0], 1, TWPT_RGB);
    EXPECT_EQ(scannerDialog(), nullptr);
}

TEST(TwainDsmCapture, TheLibraryIsUnloadedAndLoadedAgain) {
    Capture capture("");
    ASSERT_NE(capture.press(ttmMemory), nullptr);
    ASSERT_TRUE(capture.manager().UnloadTwainLibrary());
    EXPECT_FALSE(capture.manager().LibraryLoaded());
    EXPECT_FALSE(DsmLibrary::isLoaded());
    // Loaded afresh, the source starts again from page 1.
    ASSERT_NE(capture.press(ttmNative), nullptr);
    EXPECT_EQ(capture.journal,
              (std::vector<std::string>{"acquire", "disable", "acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 2u);
    expectPage(capture.images[1], 1, TWPT_RGB);
}

TEST(TwainDsmCapture, CancellingTheSelectionStopsQuietly) {
    Capture capture("");
    capture.ini().rewrite("[SourceManager]\nAutoSelect=cancel\n");
    EXPECT_EQ(capture.press(ttmMemory), nullptr);
    EXPECT_TRUE(capture.manager().LibraryLoaded());
    EXPECT_TRUE(capture.journal.empty());
}

}  // namespace
}  // namespace twaindsmtest
