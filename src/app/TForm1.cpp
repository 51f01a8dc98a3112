#include "app/TForm1.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/TfrmLogin2.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/ExitWatcher.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/QueryTableModel.h"
#include "register/CaseCheck.h"
#include "register/Statements.h"

namespace {

constexpr int kClientWidth = 901;
constexpr int kClientHeight = 660;

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
      folders_(std::move(folders)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8("Brevanto - Scanner"));
    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    declareFields();

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
    const bool started = RunGuarded(this, [this] {
        Memo1->clear();
        connectToConfiguredServer();

        qryPDF.Open();
        qryDir.Open();

        if (trimmed(QString::fromStdString(qryDir.FieldByName("dirpdf").AsString())).isEmpty()) {
            const Statements statements(mySQLDatabase1);
            qryEu.Close();
            qryEu.SQL().Clear();
            qryEu.SQL().Add(
                statements.SetPdfFolder(programFolderText(folders_.ProgramFolder).toStdString()));
            qryEu.ExecSQL();
        }

        qryDir.Close();
        qryDir.Open();
        edtDir->setText(QString::fromStdString(qryDir.FieldByName("dirpdf").AsString()));
    });
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
    mySQLDatabase1.Open();
}

void TForm1::showLogin() {
    TfrmLogin2 login(*this);
    const int result = login.exec();
    // Closed without a login (the window manager's close): nothing can enable the window now.
    if (result != QDialog::Accepted && !terminated_) TerminateApplication(0);
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

// The capture workspace, the filed-document list's actions and the folder setting are wired
// here; their behaviour is built in their own steps.
void TForm1::GoAcquireClick() {}
void TForm1::btnSAlvarClick() {}
void TForm1::Listbox1Click() {}
void TForm1::ExcluirPgina1Click() {}
void TForm1::Mudarparacima1Click() {}
void TForm1::Mudarparabaixo1Click() {}
void TForm1::edtPesquisaChange() {}
void TForm1::DBGrid1DblClick() {}
void TForm1::SalvarArquivoComo1Click() {}
void TForm1::EnviarArquivosporEmail1Click() {}
void TForm1::AdvGlowButton1Click() {}
void TForm1::AdvGlowButton2Click() {}
void TForm1::btnSalvaClick() {}
