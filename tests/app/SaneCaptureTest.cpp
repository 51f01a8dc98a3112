// "Capturar" with a SANE scanner: SANE's own test backend, in a configuration of this test
// process's own, gives one page into the page list, as a real scanner would.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "AppFixture.h"
#include "app/TForm1.h"
#include "app/TfrmLogin2.h"
#include "pdf/PdfClasses.h"
#include "platform/locale/LocalClock.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace fs = std::filesystem;

namespace {

// SANE takes its configuration folder once per process: this process gets one of its own
// before any test runs, listing no backend until the test below lists the test backend.
class PrivateSaneConfig : public ::testing::Environment {
  public:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("app-sane-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        write("dll.conf", "");
        ::setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::trunc) << text;
    }
    fs::path folder;
};

PrivateSaneConfig* const saneConfig =
    static_cast<PrivateSaneConfig*>(::testing::AddGlobalTestEnvironment(new PrivateSaneConfig));

class SaneCaptureTest : public AppFixture {
  protected:
    void SetUp() override {
        RegisterPdfClasses();
        folder = pdfFolder_.path().toStdString();
        db.Exec(
            "insert into cadusuario (login, senha) values ('Maria', 'segredo');\n"
            "insert into cadparametos (dirpdf) values ('" +
            folder + "');");
        configureBesideProgram();
        saneConfig->write("dll.conf", "test\n");
        saneConfig->write("test.conf",
                          "number_of_devices 1\ngeometry_max 300.0\n"
                          "test-picture \"Color pattern\"\n");
        // No virtual scanner: the SANE device is the only source, and scans by itself.
        writeTwainSettings("[SourceManager]\nAutoSelect=default\n[Sane]\nAutoScan=true\n");
        // The clerk's last choices for the device: grey, 25 dpi, A5 (a small page).
        QSettings choices(QString::fromStdString(twainFolder() + "/sane-scanners.ini"),
                          QSettings::IniFormat);
        choices.beginGroup(QString::fromLatin1(QUrl::toPercentEncoding("test:0")));
        choices.setValue("Mode", "Gray");
        choices.setValue("Resolution", 25);
        choices.setValue("PageSize", "A5");
        choices.endGroup();
        choices.sync();
        form = startLoggedIn();
        ASSERT_TRUE(form->isEnabled());
    }

    void TearDown() override {
        form.reset();
        saneConfig->write("dll.conf", "");
        LocalClock::Release();
    }

    std::string twainFolder() const {
        return fs::path(qgetenv("BREVANTO_TWAIN_INI").toStdString()).parent_path().string();
    }

    QTemporaryDir pdfFolder_;
    std::string folder;
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(SaneCaptureTest, CapturarWithASaneScannerListsOnePage) {
    LocalClock::Fix({2026, 12, 11, 9, 41, 7, 0});
    form->GoAcquire->click();
    bool scanned = false;
    for (int round = 0; round < 200000 && !scanned; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        bool busy = false;
        for (int i = 0; i < form->Twain->SourceCount(); ++i)
            if (twain::TTwainSource* source = form->Twain->Sources(i))
                busy = busy || source->Enabled();
        scanned = round > 0 && !busy;
    }
    ASSERT_EQ(form->Twain->SourceCount(), 1);
    EXPECT_EQ(form->Twain->Sources(0)->ProductName(), "Noname frontend-tester");
    ASSERT_EQ(form->Listbox1->count(), 1);
    EXPECT_EQ(form->Listbox1->item(0)->text().toStdString(),
              "Página 1 |" + folder + "/111220260907.bmp");
    EXPECT_TRUE(fs::exists(folder + "/111220260907.bmp"));
    // A5 at 25 dpi, as the test backend counts the pixels of 148 x 210 mm.
    EXPECT_EQ(form->ImageHolder.width(), 145);
    EXPECT_EQ(form->ImageHolder.height(), 206);
    EXPECT_TRUE(boxes.Messages().empty());
}
