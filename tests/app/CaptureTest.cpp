// The clerk's road on the first tab: "Capturar" with the virtual scanner, the page list, and
// "Salvar PDF" into a real folder and the real test database.
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "WorkspaceFixture.h"
#include "app/TForm1.h"
#include "app/TfrmLogin2.h"
#include "db/TmySQLQuery.h"
#include "pdf/PdfClasses.h"
#include "platform/graphics/JpegImage.h"
#include "platform/locale/LocalClock.h"
#include "platform/ui/DBGrid.h"
#include "platform/win/Directories.h"
#include "support/PdfFileCheck.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

class CaptureTest : public WorkspaceFixture {};

}  // namespace

TEST_F(CaptureTest, EachPressListsOnePageWithItsFilesEvenFromAFullFeeder) {
    writeTwainSettings(kScanner + "Sheets=3\n");
    // Three presses in one second: the later pages take the next free names.
    for (int i = 0; i < 3; ++i) press();
    const std::string stamp = folder + "/111220260907";
    EXPECT_EQ(listed(*form->Listbox1),
              QStringList({QString::fromStdString("Página 1 |" + stamp + ".bmp"),
                           QString::fromStdString("Página 2 |" + stamp + "-2.bmp"),
                           QString::fromStdString("Página 3 |" + stamp + "-3.bmp")}));
    EXPECT_EQ(form->Memo1->toPlainText().toStdString(),
              stamp + ".bmp\n" + stamp + "-2.bmp\n" + stamp + "-3.bmp");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"111220260907-2.bmp", "111220260907-2.jpg",
                                                         "111220260907-3.bmp", "111220260907-3.jpg",
                                                         "111220260907.bmp", "111220260907.jpg"}));
    EXPECT_TRUE(boxes.Messages().empty());

    // The last page is held and loaded into the page layout.
    EXPECT_EQ(form->ImageHolder.width(), 59);
    EXPECT_EQ(form->ImageHolder.height(), 79);
    const auto* jpeg =
        form->PageLayout.PRJpegImage1.Picture().graphicAs<brevanto::graphics::JpegImage>();
    ASSERT_NE(jpeg, nullptr);
    EXPECT_FALSE(form->PageLayout.PRJpegImage1.SharedImage());
    const auto& bytes = jpeg->data();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), ReadFile(stamp + "-3.jpg"));
}

TEST_F(CaptureTest, CancelledSelectionDoesNothing) {
    writeTwainSettings("[SourceManager]\nAutoSelect=cancel\n");
    press();
    EXPECT_EQ(form->Listbox1->count(), 0);
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_TRUE(namesIn(folder).empty());
}

TEST_F(CaptureTest, WithoutASourceManagerTwainIsNotInstalled) {
    QTemporaryDir empty;
    const std::string nowhere = empty.path().toStdString();
    for (const auto where : {win::SystemFolder::Current, win::SystemFolder::Temp})
        win::SetFolderOverride(where, nowhere);
    win::SetFolderOverride(win::SystemFolder::ProgramFile, nowhere + "/brevanto-scanner");
    press();
    for (const auto where :
         {win::SystemFolder::Current, win::SystemFolder::Temp, win::SystemFolder::ProgramFile})
        win::SetFolderOverride(where, std::nullopt);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text, QStringLiteral("Twain is not installed."));
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Brevanto - Scanner"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::None);
    EXPECT_EQ(form->Listbox1->count(), 0);
}

TEST_F(CaptureTest, ScannerFaultsAreNamedAndEarlierPagesStay) {
    const struct {
        const char* settings;
        const char* message;
    } cases[] = {
        {"Sheets=0\n", "Não há papel no alimentador do scanner."},
        {"JamSheet=1\nJamAfterStrips=1\n", "O papel atolou no scanner."},
    };
    int pages = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        closeScanner();
        writeTwainSettings(kScanner);
        press(at(++pages));
        closeScanner();
        writeTwainSettings(kScanner + c.settings);
        boxes.Clear();
        press(at(30 + pages));
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Text, QString::fromUtf8(c.message));
        EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Atenção"));
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Warning);
        EXPECT_EQ(form->Listbox1->count(), pages);
    }
}

TEST_F(CaptureTest, AFolderThatCannotTakePagesShowsTheFileErrorAndListsNothing) {
    const std::string plainFile = folder + "/not-a-folder";
    std::ofstream(plainFile) << "x";
    for (const std::string& target : {folder + "/missing", plainFile}) {
        db.Exec("update cadparametos set dirpdf = '" + target + "'");
        form->qryDir.Refresh();
        boxes.Clear();
        press();
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_THAT(boxes.Messages()[0].Text.toStdString(),
                    HasSubstr("Cannot create file \"" + target + "/111220260907.bmp\""));
        EXPECT_EQ(form->Listbox1->count(), 0);
        EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"not-a-folder"});
}

TEST_F(CaptureTest, TheFiledDocumentIsTheEditedListInItsOrder) {
    scanThreePages();
    std::string jpegs[4];
    for (int second = 1; second <= 3; ++second) jpegs[second] = ReadFile(jpegOf(pageBmp(second)));

    // Page 3 to the top, then page 2 out: the document is pages 3 and 1.
    form->Listbox1->setCurrentRow(2);
    form->Mudarparacima1->trigger();
    EXPECT_EQ(form->Listbox1->currentRow(), 2);  // the selection stays where it was
    form->Listbox1->setCurrentRow(1);
    form->Mudarparacima1->trigger();
    form->Listbox1->setCurrentRow(2);
    form->ExcluirPgina1->trigger();
    EXPECT_EQ(listed(*form->Listbox1),
              QStringList({QString::fromStdString("Página 3 |" + pageBmp(3)),
                           QString::fromStdString("Página 1 |" + pageBmp(1))}));
    EXPECT_EQ(form->Memo1->toPlainText().toStdString(), pageBmp(3) + "\n" + pageBmp(1));

    // The preview shows the selected page at its own size.
    form->Listbox1->setCurrentRow(0);
    ASSERT_FALSE(form->imgMostra->pixmap().isNull());
    EXPECT_EQ(form->imgMostra->pixmap().size(), QSize(59, 79));

    const int listedBefore = form->DBGrid1->model()->rowCount();
    LocalClock::Fix(at(40));
    save();
    EXPECT_TRUE(boxes.Messages().empty()) << messageTexts()[0].toStdString();

    const std::string pdf = folder + "//11122026094140.pdf";
    EXPECT_EQ(rows(), "2024001 " + pdf + " RG");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toStdString(), pdf);
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), listedBefore + 1);

    ExpectConsistentXref(ReadFile(pdf));
    ExpectAcceptedByTools(pdf);
    TempFolder extracted;
    ASSERT_EQ(
        std::system(("pdfimages -j '" + pdf + "' '" + (extracted.Path() / "p").string() + "' 2>&1")
                        .c_str()),
        0);
    EXPECT_EQ(namesIn(extracted.Path()), (std::vector<std::string>{"p-000.jpg", "p-001.jpg"}));
    EXPECT_EQ(ReadFile(extracted.Path() / "p-000.jpg"), jpegs[3]);
    EXPECT_EQ(ReadFile(extracted.Path() / "p-001.jpg"), jpegs[1]);

    // The pages are done with: every JPEG gone, the deleted page's too; the BMPs stay.
    EXPECT_EQ(namesIn(folder),
              (std::vector<std::string>{"111220260901.bmp", "111220260902.bmp", "111220260903.bmp",
                                        "11122026094140.pdf"}));
    EXPECT_EQ(form->Listbox1->count(), 0);
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_FALSE(form->imgMostra->pixmap().isNull());
    EXPECT_EQ(form->edtProcesso->text(), QStringLiteral("2024001"));
    EXPECT_EQ(form->cbTipo->currentIndex(), 4);
}

TEST_F(CaptureTest, EachCheckBeforeSavingStopsWithItsMessage) {
    const struct {
        const char* name;
        QString caseText;
        bool scan;
        int type;
        const char* message;
        const char* caption;
        TMsgIcon icon;
    } cases[] = {
        {"no case", QStringLiteral(" \t"), true, 0, "Escolha um processo antes", "Atenção",
         TMsgIcon::Information},
        {"case not a number", QStringLiteral("2024001 or 1=1"), true, 0,
         "Número de processo inválido.", "Atenção", TMsgIcon::Warning},
        {"case beyond the register", QStringLiteral("2147483648"), true, 0,
         "Número de processo inválido.", "Atenção", TMsgIcon::Warning},
        {"no type", QStringLiteral("2024001"), true, -1, "Escolha o tipo do documento antes!",
         "Atenção!", TMsgIcon::Information},
        {"no page", QStringLiteral("2024001"), false, 0, "Não há nenhuma imagem selecionada",
         "Atenção", TMsgIcon::Information},
    };
    press();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.scan) {
            form->Listbox1->setCurrentRow(0);
            form->ExcluirPgina1->trigger();
        }
        boxes.Clear();
        save(c.caseText, c.type);
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Text, QString::fromUtf8(c.message));
        EXPECT_EQ(boxes.Messages()[0].Caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(boxes.Messages()[0].Icon, c.icon);
        EXPECT_EQ(form->Listbox1->count(), c.scan ? 1 : 0);
        EXPECT_EQ(namesIn(folder),
                  (std::vector<std::string>{"111220260907.bmp", "111220260907.jpg"}));
        EXPECT_EQ(rows(), "");
        EXPECT_TRUE(opened.empty());
    }
}

TEST_F(CaptureTest, AMissingFolderAsksAndYesFailsWithTheFileError) {
    press();
    const std::string missing = folder + "/gone";
    db.Exec("update cadparametos set dirpdf = '" + missing + "'");
    form->qryDir.Refresh();

    boxes.Answer(TMsgResult::No);
    save();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Text,
              QStringLiteral("Pasta não encontrada, deseja continuar mesmo assim?"));
    EXPECT_EQ(boxes.Messages()[0].Caption, QStringLiteral("Atenção"));
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Question);
    EXPECT_EQ(boxes.Messages()[0].Buttons, TMsgButtons::YesNo);

    boxes.Clear();
    boxes.Answer(TMsgResult::Yes);
    save();
    ASSERT_EQ(boxes.Messages().size(), 2u);
    EXPECT_EQ(boxes.Messages()[1].Caption, QStringLiteral("Brevanto - Scanner"));
    EXPECT_THAT(boxes.Messages()[1].Text.toStdString(),
                HasSubstr("Cannot create file \"" + missing + "//11122026094107.pdf\""));
    EXPECT_EQ(form->Listbox1->count(), 1);
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"111220260907.bmp", "111220260907.jpg"}));
    EXPECT_EQ(rows(), "");
}

TEST_F(CaptureTest, TwoSavesInOneSecondGiveTwoDocuments) {
    press(at(1));
    LocalClock::Fix(at(2));
    save(QStringLiteral("2024001"), 0);
    press(at(2));
    save(QStringLiteral("2024001"), 7);
    EXPECT_TRUE(boxes.Messages().empty());
    const std::string first = folder + "//11122026094102.pdf";
    const std::string second = folder + "//11122026094102-2.pdf";
    EXPECT_EQ(rows(), "2024001 " + first + " CO\n2024001 " + second + " OU");
    EXPECT_TRUE(fs::exists(first));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_NE(ReadFile(first), ReadFile(second));
}

TEST_F(CaptureTest, AFailedSaveLosesNothingAndCanBeRepeated) {
    const struct {
        const char* name;
        std::function<void()> breakIt;
        std::function<void()> mendIt;
    } cases[] = {
        {"a page file cannot be read", [&] { fs::rename(jpegOf(pageBmp(2)), folder + "/aside"); },
         [&] { fs::rename(folder + "/aside", jpegOf(pageBmp(2))); }},
        {"the register refuses the row",
         [&] { db.Exec("rename table cadprocessospdf to cadprocessospdf_away"); },
         [&] { db.Exec("rename table cadprocessospdf_away to cadprocessospdf"); }},
        {"the disk is full",
         [] {
             // Writes past a few kilobytes fail as on a full disk.
             ::signal(SIGXFSZ, SIG_IGN);
             const rlimit small{4096, RLIM_INFINITY};
             ::setrlimit(RLIMIT_FSIZE, &small);
         },
         [] {
             const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
             ::setrlimit(RLIMIT_FSIZE, &unlimited);
         }},
        {"the connection to the server is lost",
         [&] {
             TmySQLQuery whoAmI(form->mySQLDatabase1);
             whoAmI.SQL().Add("select connection_id()");
             whoAmI.Open();
             db.Exec("kill connection " + whoAmI.Fields(0).AsString());
         },
         [] {}},
    };
    int filed = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        press(at(1 + 2 * filed));
        press(at(2 + 2 * filed));
        const QStringList pages = listed(*form->Listbox1);
        const auto filesBefore = namesIn(folder);
        c.breakIt();
        boxes.Clear();
        LocalClock::Fix(at(50 + filed));
        save();
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
        EXPECT_EQ(listed(*form->Listbox1), pages);
        EXPECT_EQ(form->Memo1->toPlainText().count(QLatin1Char('\n')), 1);
        EXPECT_TRUE(opened.empty());
        c.mendIt();
        EXPECT_EQ(namesIn(folder), filesBefore);
        EXPECT_EQ(std::stoi(db.Scalar("select count(*) from cadprocessospdf")), filed);

        boxes.Clear();
        save();
        EXPECT_TRUE(boxes.Messages().empty()) << messageTexts()[0].toStdString();
        EXPECT_EQ(form->Listbox1->count(), 0);
        ++filed;
        EXPECT_EQ(std::stoi(db.Scalar("select count(*) from cadprocessospdf")), filed);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_TRUE(fs::exists(opened[0].toStdString()));
        opened.clear();
    }
}

TEST_F(CaptureTest, ScreenshotOfThreePagesWithOnePreviewed) {
    writeTwainSettings(
        "[SourceManager]\nAutoSelect=default\nVirtualScanner=true\n"
        "[VirtualScanner]\nAutoScan=true\nPageWidthMm=210\nPageHeightMm=297\nResolution=72\n");
    for (int second = 1; second <= 3; ++second) press(at(second));
    form->edtProcesso->setText(QStringLiteral("2024001"));
    form->cbTipo->setCurrentIndex(0);
    form->Listbox1->setCurrentRow(1);
    form->resize(901, 660);
    QCoreApplication::processEvents();
    const QString shot = QStringLiteral(BREVANTO_BIN_DIR "/../screenshots/capture.png");
    QDir().mkpath(QFileInfo(shot).path());
    ASSERT_TRUE(form->grab().save(shot));
    EXPECT_TRUE(boxes.Messages().empty());
}

namespace {

// The capture road against a server of the test's own, which it stops and starts again.
class CaptureOnItsOwnServerTest : public CaptureTest {
  protected:
    static void SetUpTestSuite() {
        serverFolder_ = new QTemporaryDir;
        if (const char* socket = std::getenv("MYSQL_UNIX_PORT")) sharedSocket_ = socket;
        ASSERT_EQ(server("start"), 0);
        ::setenv("MYSQL_UNIX_PORT", (serverFolder_->path() + "/mysqld.sock").toLocal8Bit(), 1);
    }

    static void TearDownTestSuite() {
        server("stop");
        ::setenv("MYSQL_UNIX_PORT", sharedSocket_.c_str(), 1);
        delete serverFolder_;
        serverFolder_ = nullptr;
    }

    static int server(const char* verb) {
        const std::string command = "BREVANTO_DB_DIR='" + serverFolder_->path().toStdString() +
                                    "' '" BREVANTO_FIXTURES_DIR "/../../scripts/test-db' " + verb +
                                    " >/dev/null 2>&1";
        return std::system(command.c_str());
    }

    // The test's own connection went down with the server too; it reconnects at the next one.
    std::string filedCount() {
        try {
            return db.Scalar("select count(*) from cadprocessospdf");
        } catch (const std::exception&) {
            return db.Scalar("select count(*) from cadprocessospdf");
        }
    }

    static QTemporaryDir* serverFolder_;
    static std::string sharedSocket_;
};

QTemporaryDir* CaptureOnItsOwnServerTest::serverFolder_ = nullptr;
std::string CaptureOnItsOwnServerTest::sharedSocket_;

}  // namespace

TEST_F(CaptureOnItsOwnServerTest, AServerStoppedBeforeTheSaveAndBackAgainTakesTheSameSave) {
    press(at(1));
    press(at(2));
    const auto filesBefore = namesIn(folder);
    ASSERT_EQ(server("stop"), 0);
    LocalClock::Fix(at(30));
    save();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(form->Listbox1->count(), 2);
    EXPECT_EQ(namesIn(folder), filesBefore);
    EXPECT_TRUE(opened.empty());

    ASSERT_EQ(server("start"), 0);
    boxes.Clear();
    save();
    EXPECT_TRUE(boxes.Messages().empty()) << messageTexts()[0].toStdString();
    EXPECT_EQ(form->Listbox1->count(), 0);
    EXPECT_EQ(filedCount(), "1");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toStdString(), folder + "//11122026094130.pdf");
}

TEST_F(CaptureTest, PagesNotFiledWhenTheProgramEndedAreOfferedAtTheNextStart) {
    scanThreePages();
    form->Listbox1->setCurrentRow(2);
    form->Mudarparacima1->trigger();
    form->Listbox1->setCurrentRow(0);
    form->ExcluirPgina1->trigger();
    const QStringList before = listed(*form->Listbox1);
    ASSERT_EQ(before.size(), 2);

    // The program goes without saving; the next start asks, and Sim lists the pages again.
    boxes.Clear();
    startProgram();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(
        boxes.Messages()[0].Text,
        QStringLiteral("Há 2 páginas digitalizadas que não foram salvas. Deseja recuperá-las?"));
    EXPECT_EQ(boxes.Messages()[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(listed(*form->Listbox1), before);

    // Filed, they are done with: the journal goes, the deleted page's JPEG too.
    LocalClock::Fix(at(40));
    save();
    EXPECT_EQ(boxes.Messages().size(), 1u);
    EXPECT_FALSE(fs::exists(stateFolder().toStdString() + "/paginas-nao-salvas.json"));
    EXPECT_EQ(namesIn(folder),
              (std::vector<std::string>{"111220260901.bmp", "111220260902.bmp", "111220260903.bmp",
                                        "11122026094140.pdf"}));
    boxes.Clear();
    startProgram();
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(CaptureTest, UnfiledPagesRefusedOrGoneAreNotOfferedAgain) {
    scanThreePages();
    fs::remove(pageBmp(2));  // a page whose file went is not offered
    boxes.Clear();
    boxes.Answer(TMsgResult::No);
    startProgram();
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(
        boxes.Messages()[0].Text,
        QStringLiteral("Há 2 páginas digitalizadas que não foram salvas. Deseja recuperá-las?"));
    EXPECT_EQ(form->Listbox1->count(), 0);
    EXPECT_TRUE(fs::exists(pageBmp(1)));  // Não forgets them; their files stay

    boxes.Clear();
    startProgram();
    EXPECT_TRUE(boxes.Messages().empty());
}
