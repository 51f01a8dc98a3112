#include "app/TForm1.h"

#include <filesystem>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/ConnectingWindow.h"
#include "app/DocumentFiler.h"
#include "app/FileStamps.h"
#include "app/PageFiles.h"
#include "app/PagePreview.h"
#include "app/TfrmLogin2.h"
#include "mail/TfrmEnviaEmail.h"
#include "platform/graphics/Bitmap.h"
#include "platform/locale/LocalClock.h"
#include "platform/shell/ShellOpen.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/ExitWatcher.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QueryTableModel.h"
#include "platform/win/qt/QtMessagePump.h"
#include "register/CaseCheck.h"
#include "register/CaseNumber.h"
#include "register/FiledDocuments.h"
#include "register/Statements.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace {

constexpr int kClientWidth = 901;
constexpr int kClientHeight = 660;
// The creation date the report component keeps in the form; the written dates are those of
// each run.
constexpr double kReportCreationDate = 41829.71127694444;
constexpr int kEntryPathLength = 200;

// Blanks and control characters at either end do not count (the toolkit's Trim).
QString trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ') ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ') --end;
    return text.mid(begin, end - begin);
}

QString programFolderText(const QString& folder) {
    QString text = QDir::toNativeSeparators(QDir::cleanPath(folder));
    while (text.size() > 1 && text.endsWith(QDir::separator())) text.chop(1);
    return text;
}

}  // namespace

TForm1::TForm1(TConfigFolders folders, QWidget* parent)
    : QWidget(parent),
      qryPDF(mySQLDatabase1, "qryPDF"),
      qryDir(mySQLDatabase1, "qryDir"),
      qryProcesso(mySQLDatabase1, "qryProcesso"),
      qryEu(mySQLDatabase1, "qryEu"),
      dsPDF(std::make_unique<TQueryTableModel>(qryPDF)),
      dsDir(std::make_unique<TQueryTableModel>(qryDir)),
      pump_(new win::QtMessagePump(this)),
      folders_(std::move(folders)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8("Brevanto - Scanner"));

    declareFields();
    setUpTwain();
    setUpReport();

    RzPageControl1 = new QTabWidget(this);
    RzPageControl1->setObjectName(QStringLiteral("RzPageControl1"));
    TabMontar = new QWidget;
    TabListagem = new QWidget;
    TabConfiguracoes = new QWidget;
    RzPageControl1->addTab(TabMontar, QStringLiteral("Montar Aquivo"));
    RzPageControl1->addTab(TabListagem, QStringLiteral("Listagem"));
    RzPageControl1->addTab(TabConfiguracoes, QStringLiteral("Configurações"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RzPageControl1);

    buildCaptureTab();
    buildListTab();
    buildSettingsTab();
    connectHandlers();
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] {
        TerminateApplication(0);
        close();
    });

    // The designer's size, unless the screen is smaller; always on the screen.
    QSize size(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        size = size.boundedTo(room.size());
        resize(size);
        move(room.center() - rect().center());
    } else {
        resize(size);
    }

    // No input until a user has logged in.
    setEnabled(false);
}

TForm1::~TForm1() = default;

void TForm1::declareFields() {
    qryPDF.SQL().Add(Statements::AllFiledDocuments());
    qryPDF.DeclareField({"codpdf", ftAutoInc, 0, {}});
    qryPDF.DeclareField({"codprocesso", ftInteger, 0, {}});
    qryPDF.DeclareField({"caminho", ftString, 200, {}});
    qryPDF.DeclareField({"cliente", ftString, 80, {}});

    qryDir.SQL().Add(Statements::PdfFolder());
    qryDir.DeclareField({"dirpdf", ftString, 0, {}});
}

void TForm1::setUpTwain() {
    Twain = std::make_unique<twain::TTwainManager>();
    Twain->SetTransferMode(twain::ttmMemory);
    Twain->OnTwainAcquire = [this](twain::TTwainObject* sender, int index,
                                   brevanto::graphics::Bitmap* image, bool& cancel) {
        TwainTwainAcquire(sender, index, image, cancel);
    };
    Twain->OnAcquireError = [this](twain::TTwainObject* sender, int index, int code,
                                   int condition) {
        TwainAcquireError(sender, index, code, condition);
    };
}

void TForm1::setUpReport() {
    PReport1.SetFileName("default.pdf");
    PReport1.SetCreationDate(kReportCreationDate);
    PReport1.SetUseOutlines(false);
}

void TForm1::connectHandlers() {
    OnExit(*edtProcesso, [this] { edtProcessoExit(); });
    connect(GoAcquire, &QPushButton::clicked, this, Guard(this, [this] { GoAcquireClick(); }));
    connect(btnSAlvar, &QPushButton::clicked, this, Guard(this, [this] { btnSAlvarClick(); }));
    connect(Listbox1, &QListWidget::currentRowChanged, this,
            Guard(this, [this] { Listbox1Click(); }));
    connect(Listbox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Listbox1->mapToGlobal(at)); });
    connect(ExcluirPgina1, &QAction::triggered, this,
            Guard(this, [this] { ExcluirPgina1Click(); }));
    connect(Mudarparacima1, &QAction::triggered, this,
            Guard(this, [this] { Mudarparacima1Click(); }));
    connect(Mudarparabaixo1, &QAction::triggered, this,
            Guard(this, [this] { Mudarparabaixo1Click(); }));

    connect(edtPesquisa, &QLineEdit::textChanged, this,
            Guard(this, [this] { edtPesquisaChange(); }));
    connect(DBGrid1, &TDBGrid::DblClick, this, Guard(this, [this] { DBGrid1DblClick(); }));
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(SalvarArquivoComo1, &QAction::triggered, this,
            Guard(this, [this] { SalvarArquivoComo1Click(); }));
    connect(EnviarArquivosporEmail1, &QAction::triggered, this,
            Guard(this, [this] { EnviarArquivosporEmail1Click(); }));

    connect(AdvGlowButton1, &QPushButton::clicked, this,
            Guard(this, [this] { AdvGlowButton1Click(); }));
    connect(AdvGlowButton2, &QPushButton::clicked, this,
            Guard(this, [this] { AdvGlowButton2Click(); }));
    connect(btnSalva, &QPushButton::clicked, this, Guard(this, [this] { btnSalvaClick(); }));
}

void TForm1::FormCreate() {
    bool cancelled = false;
    const bool started = RunGuarded(this, [this, &cancelled] {
        Memo1->clear();
        connectToConfiguredServer();
        // A slow or silent server shows where the program connects, and can be given up.
        if (!ConnectShowingProgress(this, mySQLDatabase1)) {
            cancelled = true;
            return;
        }

        qryPDF.Open();
        qryDir.Open();

        if (trimmed(QString::fromStdString(qryDir.FieldByName("dirpdf").AsString())).isEmpty()) {
            StorePdfFolder(qryEu, programFolderText(folders_.ProgramFolder).toStdString());
        }

        qryDir.Close();
        qryDir.Open();
        edtDir->setText(QString::fromStdString(qryDir.FieldByName("dirpdf").AsString()));
    });
    if (cancelled) {
        TerminateApplication(0);
        return;
    }
    // A window that can never be enabled helps nobody: the error has been shown, so end.
    if (!started) {
        TerminateApplication(1);
        return;
    }
    showLogin();
}

void TForm1::connectToConfiguredServer() {
    const auto sys = FindConfigFile(folders_, QStringLiteral("sys.txt"));
    if (!sys) return;
    std::string host = ReadFirstLine(*sys);
    mySQLDatabase1.Close();
    mySQLDatabase1.SetHost(std::move(host));
    if (const auto banco = FindConfigFile(folders_, QStringLiteral("banco.txt")))
        mySQLDatabase1.SetDatabaseName(ReadFirstLine(*banco));
}

void TForm1::showLogin() {
    TfrmLogin2 login(*this);
    const int result = login.exec();
    // Closed without a login (the window manager's close): nothing can enable the window now.
    if (result != QDialog::Accepted && !terminated_) TerminateApplication(0);
    if (result == QDialog::Accepted && !terminated_)
        RunGuarded(this, [this] { offerUnfiledPages(); });
}

void TForm1::TerminateApplication(int exitCode) {
    if (terminated_) return;
    terminated_ = true;
    exitCode_ = exitCode;
    emit ApplicationTerminated(exitCode);
}

void TForm1::edtProcessoExit() {
    RunGuarded(this, [this] { CheckCaseNumber(*this, *edtProcesso, qryProcesso); });
}

QString TForm1::EntryPath(const QString& entry) {
    return entry.mid(entry.lastIndexOf(QLatin1Char('|')) + 1, kEntryPathLength);
}

std::string TForm1::pdfFolder() const { return qryDir.FieldByName("dirpdf").AsString(); }

void TForm1::showCaptureLog(int row) {
    const QSignalBlocker blocker(Listbox1);
    Listbox1->clear();
    QStringList paths;
    for (int i = 0; i < CaptureLog.Count(); ++i) {
        Listbox1->addItem(QString::fromStdString(CaptureLog.EntryTextAt(i)));
        paths << QString::fromStdString(CaptureLog.Entries()[static_cast<std::size_t>(i)].BmpPath);
    }
    Memo1->setPlainText(paths.join(QLatin1Char('\n')));
    Listbox1->setCurrentRow(row < CaptureLog.Count() ? row : -1);
    journal_.Save(CaptureLog);
}

void TForm1::offerUnfiledPages() {
    TCaptureLog unfiled = journal_.Load();
    if (unfiled.Empty()) {
        journal_.Forget();
        return;
    }
    const QString question =
        QStringLiteral("Há %1 páginas digitalizadas que não foram salvas. Deseja recuperá-las?")
            .arg(unfiled.Count());
    if (TMessageBox::Show(this, question, QStringLiteral("Atenção"), TMsgIcon::Question,
                          TMsgButtons::YesNo) != TMsgResult::Yes) {
        journal_.Forget();
        return;
    }
    CaptureLog = std::move(unfiled);
    showCaptureLog(-1);
}

void TForm1::GoAcquireClick() {
    if (!Twain->LoadTwainLibrary()) {
        TMessageBox::Show(this, QStringLiteral("Twain is not installed."),
                          QString::fromLatin1(TMessageBox::kApplicationTitle), TMsgIcon::None);
        return;
    }
    Twain->SetSourceManagerLoaded(true);
    const int index = Twain->ChooseSource();
    if (index == -1) return;
    twain::TTwainSource* source = Twain->Sources(index);
    if (source == nullptr) return;
    source->SetLoaded(true);
    source->SetTransferMode(twain::ttmMemory);
    source->SetEnabled(true);
}

void TForm1::TwainTwainAcquire(twain::TTwainObject*, int, brevanto::graphics::Bitmap* Image,
                               bool& Cancel) {
    // One page per press, whatever else the feeder holds.
    Cancel = true;
    if (Image == nullptr) return;
    RunGuarded(this, [&] {
        // The component frees the image once we return: take its pixels rather than copy them.
        auto held = std::make_unique<brevanto::graphics::Bitmap>(std::move(*Image));
        const TPageFiles files =
            WritePageFiles(*held, pdfFolder(), PageFileStamp(LocalClock::Now()));
        try {
            PageLayout.PRJpegImage1.SetSharedImage(false);
            PageLayout.PRJpegImage1.Picture().loadFromFile(files.Jpeg);
        } catch (...) {
            std::filesystem::remove(files.Bmp);
            std::filesystem::remove(files.Jpeg);
            throw;
        }
        ImageHolder.setGraphic(std::move(held));
        CaptureLog.Add(files.Bmp);
        showCaptureLog(Listbox1->currentRow());
    });
}

void TForm1::TwainAcquireError(twain::TTwainObject*, int, int, int Additional) {
    QString text;
    switch (Additional) {
        case TWCC_PAPERJAM:
            text = QStringLiteral("O papel atolou no scanner.");
            break;
        case TWCC_NOMEDIA:
            text = QStringLiteral("Não há papel no alimentador do scanner.");
            break;
        default:
            text = QStringLiteral("O scanner informou um erro (código %1).").arg(Additional);
    }
    TMessageBox::Show(this, text, QStringLiteral("Atenção"), TMsgIcon::Warning);
}

void TForm1::Listbox1Click() {
    const int row = Listbox1->currentRow();
    if (row < 0 || row >= CaptureLog.Count()) return;
    brevanto::graphics::Picture picture;
    picture.loadFromFile(CaptureLog.Entries()[static_cast<std::size_t>(row)].BmpPath);
    brevanto::graphics::Bitmap bitmap;
    bitmap.assign(*picture.graphic());
    imgMostra->setPixmap(QPixmap::fromImage(PreviewImage(bitmap)));
}

void TForm1::ExcluirPgina1Click() {
    const int row = Listbox1->currentRow();
    if (row < 0) return;
    CaptureLog.Delete(row);
    showCaptureLog(-1);
}

void TForm1::Mudarparacima1Click() {
    const int row = Listbox1->currentRow();
    CaptureLog.MoveUp(row);
    showCaptureLog(row);
}

void TForm1::Mudarparabaixo1Click() {
    const int row = Listbox1->currentRow();
    CaptureLog.MoveDown(row);
    showCaptureLog(row);
}

void TForm1::btnSAlvarClick() {
    const QString attention = QStringLiteral("Atenção");
    const QString caseText = edtProcesso->text();
    if (trimmed(caseText).isEmpty()) {
        TMessageBox::Show(this, QStringLiteral("Escolha um processo antes"), attention,
                          TMsgIcon::Information);
        return;
    }
    // Refused before anything is written: the register's column holds 32-bit numbers only.
    const auto caseNumber = FilingCaseNumber(caseText.toStdString());
    if (!caseNumber) {
        TMessageBox::Show(this, QString::fromUtf8(EInvalidCaseNumber().what()), attention,
                          TMsgIcon::Warning);
        return;
    }
    if (trimmed(Memo1->toPlainText()).size() < 5) {
        TMessageBox::Show(this, QStringLiteral("Não há nenhuma imagem selecionada"), attention,
                          TMsgIcon::Information);
        return;
    }
    const std::string folder = pdfFolder();
    if (!QFileInfo(QString::fromStdString(folder)).isDir() &&
        TMessageBox::Show(this,
                          QStringLiteral("Pasta não encontrada, deseja continuar mesmo assim?"),
                          attention, TMsgIcon::Question, TMsgButtons::YesNo) != TMsgResult::Yes)
        return;
    if (cbTipo->currentIndex() < 0) {
        TMessageBox::Show(this, QStringLiteral("Escolha o tipo do documento antes!"),
                          QStringLiteral("Atenção!"), TMsgIcon::Information);
        return;
    }

    TFilingRequest request;
    request.CaseNumber = *caseNumber;
    request.Pages = CaptureLog.BmpPaths();
    request.DroppedPages = CaptureLog.Deleted();
    request.Folder = folder;
    request.TypeCode = DocumentTypeCode(cbTipo->currentIndex());
    const std::string pdfPath = TDocumentFiler(PReport1, PageLayout, qryEu).File(request);

    // Filed: the pages are done with, whatever happens to the list below.
    CaptureLog.Clear();
    showCaptureLog(-1);
    qryPDF.Refresh();
    ShellOpen(QString::fromStdString(pdfPath));
}

// The e-mail composer for the case of the filed-document list's current row.
void TForm1::EnviarArquivosporEmail1Click() {
    std::optional<std::int64_t> caseNumber;
    if (qryPDF.Active() && qryPDF.RecNo() >= 0) {
        const TField& field = qryPDF.FieldByName("codprocesso");
        if (!field.IsNull()) caseNumber = field.AsLargeInt();
    }
    TfrmEnviaEmail composer(*this, mySQLDatabase1, caseNumber, UsuarioLogado(), arquivosZip_);
    composer.exec();
}

void TForm1::edtPesquisaChange() {
    const Statements statements(mySQLDatabase1);
    qryPDF.Close();
    qryPDF.SQL().Clear();
    qryPDF.SQL().Add(statements.FiledDocumentsByClient(edtPesquisa->text().toStdString()));
    qryPDF.Open();
}

void TForm1::DBGrid1DblClick() {
    if (!qryPDF.Active() || qryPDF.RecordCount() <= 0) return;
    ShellOpen(QString::fromStdString(qryPDF.FieldByName("caminho").AsString()));
}

void TForm1::SalvarArquivoComo1Click() {
    // Nothing to delete: asking first would only lead to a statement without a number.
    if (!qryPDF.Active() || qryPDF.RecordCount() <= 0) return;
    if (TMessageBox::Show(this, QStringLiteral("Tem certeza que deseja excluir este arquivo?"),
                          QStringLiteral("Atenção"), TMsgIcon::Question,
                          TMsgButtons::YesNo) != TMsgResult::Yes)
        return;
    const std::int64_t codpdf = std::stoll(qryPDF.FieldByName("codpdf").AsString());
    const std::string path = qryPDF.FieldByName("caminho").AsString();
    try {
        DeleteFiledDocument(qryEu, codpdf, path);
    } catch (...) {
        // The row may be gone although its file stayed: the list shows what is stored.
        RunGuarded(this, [this] { qryPDF.Refresh(); });
        throw;
    }
    qryPDF.Refresh();
}

void TForm1::AdvGlowButton1Click() { pnlDiretorio->show(); }

void TForm1::AdvGlowButton2Click() {
    const QModelIndex selected = cxShellTreeView1->currentIndex();
    edtDir->setText(selected.isValid() ? folderTree_->filePath(selected) : QString());
    pnlDiretorio->hide();
}

void TForm1::btnSalvaClick() {
    StorePdfFolder(qryEu, StoredFolderText(edtDir->text().toStdString()));
    TMessageBox::Show(this, QStringLiteral("Alterações salvas com sucesso!"),
                      QStringLiteral("Salvo"), TMsgIcon::None);
    qryDir.Close();
    qryDir.Open();
}
