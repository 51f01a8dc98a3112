// SANE scanners through our source manager and the acquisition component, as "Capturar" scans,
// against SANE's own test backend in a configuration of the test's own: every mode and depth it
// offers must arrive pixel for pixel as scanimage writes the same scan.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "DsmTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/twaindsm/SaneDevice.h"
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
using Journal = std::vector<std::string>;

constexpr int kDpi = 40;  // an A5 page of 233 x 331 pixels keeps every case quick

// The test backend's configuration: one device, a glass large enough for A4, its colour
// pattern, and what the case adds (a status to fail with, a slow read).
std::string backendConfig(const std::string& extra) {
    return "number_of_devices 1\nresolution_min 1.0\nresolution_max 1200.0\n"
           "resolution_quant 1.0\nresolution 50.0\ngeometry_min 0.0\ngeometry_max 300.0\n"
           "geometry_quant 1.0\nbr_x 210.0\nbr_y 297.0\ntest-picture \"Color pattern\"\n" +
           extra;
}

// One program run against the test backend.
class SaneCapture {
  public:
    SaneCapture(const SaneChoices& choices, const std::string& backend = "", bool autoScan = true)
        : ini_(std::string("[SourceManager]\nAutoSelect=default\n[Sane]\nAutoScan=") +
               (autoScan ? "true" : "false") + "\n") {
        writeSaneConfig("dll.conf", "test\n");
        writeSaneConfig("test.conf", backendConfig(backend));
        saveSaneChoices(saneChoicesPath(), "test:0", choices);
        win::SetFolderOverride(win::SystemFolder::Windows, ini_.folder().string());
        win::SetFolderOverride(win::SystemFolder::System, ini_.folder().string());
        manager_ = std::make_unique<TTwainManager>();
        manager_->OnTwainAcquire = [this](TTwainObject*, int, Bitmap* image, bool& cancel) {
            journal.push_back("acquire");
            images.push_back(*image);
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
        manager_->OnSourceFileTransfer = [this](TTwainObject*, int, TW_STR255& name, TTwainFormat,
                                                bool& cancel) {
            std::ifstream in(name, std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            journal.push_back("acquire");
            images.push_back(brevanto::graphics::decodeBmpFile(bytes.data(), bytes.size()));
            cancel = setCancel;
        };
    }

    ~SaneCapture() {
        manager_.reset();
        win::SetFolderOverride(win::SystemFolder::Windows, std::nullopt);
        win::SetFolderOverride(win::SystemFolder::System, std::nullopt);
    }

    IniFile& ini() { return ini_; }
    TTwainManager& manager() { return *manager_; }

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
        for (int round = 0; round < 2000000 && !disabled_; ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    // What scanimage writes for the same scan, as a bitmap of 24-bit colours.
    Bitmap scanimage(const std::string& arguments) const {
        const std::filesystem::path out = ini_.folder() / "scanimage.pnm";
        const std::string command = "SANE_CONFIG_DIR='" + saneFolder().string() +
                                    "' scanimage -d test:0 --format=pnm " + arguments + " > '" +
                                    out.string() + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
        return readPnm(out);
    }

    Journal journal;
    std::vector<Bitmap> images;
    bool setCancel = true;

  private:
    static Bitmap readPnm(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::string magic;
        in >> magic;
        auto number = [&in] {
            in >> std::ws;
            while (in.peek() == '#') {
                std::string comment;
                std::getline(in, comment);
                in >> std::ws;
            }
            int value = 0;
            in >> value;
            return value;
        };
        const int width = number();
        const int height = number();
        const int maxValue = magic == "P4" ? 1 : number();
        in.get();
        Bitmap image(width, height, brevanto::graphics::PixelFormat::pf24bit);
        const int channels = magic == "P6" ? 3 : 1;
        const int sampleBytes = maxValue > 255 ? 2 : 1;
        std::vector<unsigned char> row(magic == "P4" ? (width + 7) / 8
                                                     : width * channels * sampleBytes);
        for (int y = 0; y < height; ++y) {
            in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size()));
            for (int x = 0; x < width; ++x) {
                RgbColor c{};
                if (magic == "P4") {
                    const bool black = (row[x / 8] >> (7 - x % 8)) & 1;
                    c = black ? RgbColor{0, 0, 0} : RgbColor{255, 255, 255};
                } else {
                    unsigned char s[3];
                    for (int k = 0; k < channels; ++k)  // 16-bit PNM samples: high byte first
                        s[k] = row[(x * channels + k) * sampleBytes];
                    c = channels == 3 ? RgbColor{s[0], s[1], s[2]} : RgbColor{s[0], s[0], s[0]};
                }
                image.setPixel(x, y, c);
            }
        }
        return image;
    }

    IniFile ini_;
    win::QtMessagePump pump_;
    std::unique_ptr<TTwainManager> manager_;
    bool disabled_ = false;
};

void expectSamePicture(const Bitmap& got, const Bitmap& want) {
    ASSERT_EQ(got.width(), want.width());
    ASSERT_EQ(got.height(), want.height());
    int mismatches = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const RgbColor a = got.pixel(x, y);
            const RgbColor b = want.pixel(x, y);
            if (a.red != b.red || a.green != b.green || a.blue != b.blue)
                if (++mismatches < 5) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(mismatches, 0);
}

SaneChoices choicesFor(TW_INT16 pixelType, const std::string& options = "") {
    SaneChoices c;
    c.pixelType = pixelType;
    c.dpi = kDpi;
    c.pageSize = "A5";
    c.options = options;
    return c;
}

struct ModeCase {
    const char* name;
    TW_INT16 pixelType;
    const char* options;
    const char* scanimage;
    TTwainTransferMode mode;
};

class TwainDsmSane : public ::testing::TestWithParam<ModeCase> {};

TEST_P(TwainDsmSane, ArrivesAsScanimageWritesIt) {
    const ModeCase& c = GetParam();
    SaneCapture capture(choicesFor(c.pixelType, c.options));
    ASSERT_NE(capture.press(c.mode), nullptr);
    EXPECT_EQ(capture.journal, (Journal{"acquire", "disable"}));
    ASSERT_EQ(capture.images.size(), 1u);
    expectSamePicture(
        capture.images[0],
        capture.scanimage(std::string(c.scanimage) + " --resolution " + std::to_string(kDpi)));
}

const char* const kA5 = " -l 0 -t 0 -x 148 -y 210";

std::vector<ModeCase> modeCases() {
    const std::string a5 = kA5;
    static const std::vector<std::string> keep = {
        "--mode Gray --depth 8" + a5,
        "--mode Gray --depth 16" + a5,
        "--mode Gray --depth 1" + a5,
        "--mode Color --depth 8" + a5,
        "--mode Color --depth 16" + a5,
        // scanimage writes neither colour of depth 1 (left untested) nor three-pass colour of
        // depth 16, whose picture is the one-pass one.
        "",
        "--mode Color --depth 8 --three-pass=yes" + a5,
        "--mode Color --depth 16" + a5,
        "--mode Gray --depth 8 --hand-scanner=yes",
    };
    return {
        {"Grey8", TWPT_GRAY, "", keep[0].c_str(), ttmMemory},
        {"Grey16", TWPT_GRAY, "depth=16", keep[1].c_str(), ttmMemory},
        {"Lineart", TWPT_BW, "", keep[2].c_str(), ttmMemory},
        {"LineartNative", TWPT_BW, "", keep[2].c_str(), ttmNative},
        {"Colour8", TWPT_RGB, "", keep[3].c_str(), ttmMemory},
        {"Colour8File", TWPT_RGB, "", keep[3].c_str(), ttmFile},
        {"Colour16", TWPT_RGB, "depth=16", keep[4].c_str(), ttmNative},
        {"ThreePass", TWPT_RGB, "three-pass=yes", keep[6].c_str(), ttmMemory},
        {"ThreePass16", TWPT_RGB, "depth=16;three-pass=yes;three-pass-order=GBR", keep[7].c_str(),
         ttmMemory},
        {"HandScanner", TWPT_GRAY, "hand-scanner=yes", keep[8].c_str(), ttmMemory},
    };
}

INSTANTIATE_TEST_SUITE_P(EveryModeAndDepth, TwainDsmSane, ::testing::ValuesIn(modeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TwainDsmSaneSource, IsListedWithItsNameAndAStableId) {
    IniFile ini("");
    writeSaneConfig("dll.conf", "test\n");
    writeSaneConfig("test.conf", backendConfig("") + "number_of_devices 2\n");
    std::vector<TW_IDENTITY> first;
    for (int round = 0; round < 2; ++round) {
        DsmLibrary library;
        DsmSession session(library.entry());
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
        std::vector<TW_IDENTITY> listed;
        TW_IDENTITY id{};
        for (TW_UINT16 rc = session.toManager(DAT_IDENTITY, MSG_GETFIRST, &id); rc == TWRC_SUCCESS;
             rc = session.toManager(DAT_IDENTITY, MSG_GETNEXT, &id))
            listed.push_back(id);
        ASSERT_EQ(listed.size(), 2u);
        EXPECT_EQ(textOf(listed[0].ProductName), "Noname frontend-tester");
        EXPECT_EQ(textOf(listed[1].ProductName), "Noname frontend-tester #2");
        EXPECT_EQ(textOf(listed[0].Manufacturer), "Noname");
        EXPECT_NE(listed[0].Id, listed[1].Id);
        if (round == 0) first = listed;
        for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(listed[i].Id, first[i].Id);
    }
}

TEST(TwainDsmSaneSource, AFeederGivesEverySheetAndCancelStopsIt) {
    SaneChoices choices = choicesFor(TWPT_GRAY);
    choices.feeder = true;
    {
        // The test backend's feeder holds ten sheets.
        SaneCapture capture(choices);
        capture.setCancel = false;
        ASSERT_NE(capture.press(ttmMemory), nullptr);
        Journal expected(10, "acquire");
        expected.push_back("disable");
        EXPECT_EQ(capture.journal, expected);
    }
    SaneCapture capture(choices);
    ASSERT_NE(capture.press(ttmMemory), nullptr);
    EXPECT_EQ(capture.journal, (Journal{"acquire", "disable"}));
}

TEST(TwainDsmSaneSource, SaneStatusBecomesATwainCondition) {
    struct Case {
        const char* status;
        Journal journal;
    };
    const Case cases[] = {
        {"SANE_STATUS_JAMMED", {"error 1 20", "disable"}},
        {"SANE_STATUS_NO_DOCS", {"error 1 29", "disable"}},
        {"SANE_STATUS_COVER_OPEN", {"error 1 24", "disable"}},
        {"SANE_STATUS_DEVICE_BUSY", {"error 1 4", "disable"}},
        {"SANE_STATUS_IO_ERROR", {"error 1 23", "disable"}},
        {"SANE_STATUS_NO_MEM", {"error 1 2", "disable"}},
        {"SANE_STATUS_ACCESS_DENIED", {"error 1 16", "disable"}},
        {"SANE_STATUS_CANCELLED", {"cancel", "disable"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        SaneCapture capture(choicesFor(TWPT_GRAY),
                            std::string("read-status-code \"") + c.status + "\"\n");
        ASSERT_NE(capture.press(ttmMemory), nullptr);
        EXPECT_EQ(capture.journal, c.journal);
        EXPECT_TRUE(capture.images.empty());
    }
}

QDialog* saneDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "saneScannerDialog" && widget->isVisible())
            return qobject_cast<QDialog*>(widget);
    return nullptr;
}

// A sheet that takes many slow reads: 4 KiB each, each after a pause.
const char* const kSlowSheet =
    "read-limit true\nread-limit-size 4096\nread-delay true\nread-delay-duration 20000\n";

TEST(TwainDsmSaneSource, TheDialogRunsWhileASlowSheetIsRead) {
    SaneCapture capture(choicesFor(TWPT_GRAY), kSlowSheet, false);
    TTwainSource* source = capture.press(ttmMemory, false);
    ASSERT_NE(source, nullptr);
    QDialog* dialog = saneDialog();
    ASSERT_NE(dialog, nullptr);
    auto* progress = dialog->findChild<QProgressBar*>("progress");
    int ticks = 0;
    std::vector<int> shown;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        if (capture.images.empty() && progress->isVisible() &&
            (shown.empty() || shown.back() != progress->value()))
            shown.push_back(progress->value());
    });
    ticker.start(0);
    dialog->findChild<QPushButton*>("scan")->click();
    capture.runUntilDisabled();
    EXPECT_EQ(capture.journal, (Journal{"acquire", "disable"}));
    // The event loop went round while the sheet was read, and the bar moved with it.
    EXPECT_GT(ticks, 10);
    EXPECT_GT(shown.size(), 3u);
}

TEST(TwainDsmSaneSource, CancelInTheDialogCancelsTheRead) {
    SaneCapture capture(choicesFor(TWPT_GRAY), kSlowSheet, false);
    TTwainSource* source = capture.press(ttmMemory, false);
    ASSERT_NE(source, nullptr);
    QDialog* dialog = saneDialog();
    ASSERT_NE(dialog, nullptr);
    auto* progress = dialog->findChild<QProgressBar*>("progress");
    dialog->findChild<QPushButton*>("scan")->click();
    // Cancel once part of the sheet is in.
    for (int round = 0; round < 2000000 && progress->value() < 10; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    ASSERT_GE(progress->value(), 10);
    dialog->findChild<QPushButton*>("cancel")->click();
    capture.runUntilDisabled();
    EXPECT_EQ(capture.journal, (Journal{"cancel", "disable"}));
    EXPECT_TRUE(capture.images.empty());
    EXPECT_TRUE(source->Loaded());
}

TEST(TwainDsmSaneSource, TheDialogsChoicesAreRememberedPerDevice) {
    SaneCapture capture(choicesFor(TWPT_GRAY), "", false);
    ASSERT_NE(capture.press(ttmMemory, false), nullptr);
    QDialog* dialog = saneDialog();
    ASSERT_NE(dialog, nullptr);
    auto* mode = dialog->findChild<QComboBox*>("mode");
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(mode->findData(static_cast<int>(TWPT_BW)));
    dialog->findChild<QPushButton*>("scan")->click();
    capture.runUntilDisabled();
    ASSERT_EQ(capture.images.size(), 1u);
    const auto remembered = loadSaneChoices(saneChoicesPath(), "test:0");
    ASSERT_TRUE(remembered.has_value());
    EXPECT_EQ(remembered->pixelType, TWPT_BW);
    EXPECT_EQ(remembered->dpi, kDpi);
    EXPECT_EQ(remembered->pageSize, "A5");
}

}  // namespace
}  // namespace twaindsmtest
