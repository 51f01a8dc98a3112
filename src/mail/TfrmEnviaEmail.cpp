#include "mail/TfrmEnviaEmail.h"

#include <filesystem>
#include <vector>

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mail/CaseMailSender.h"
#include "mail/CaseMailText.h"
#include "platform/locale/LocalClock.h"
#include "platform/ui/CharCaseValidator.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QueryTableModel.h"
#include "register/Statements.h"

namespace {

constexpr int kClientWidth = 820;
constexpr int kClientHeight = 423;
constexpr int kBarHeight = 41;
constexpr int kFieldWidth = 781;

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The current row's value of the field as text; empty without a row or a field.
std::string currentText(const TmySQLQuery& query, const char* field) {
    if (!query.Active() || query.RecNo() < 0) return {};
    const TField* found = query.FindField(field);
    return found != nullptr ? found->AsString() : std::string();
}

std::optional<std::int64_t> currentCase(const TmySQLQuery& query) {
    if (!query.Active() || query.RecNo() < 0) return std::nullopt;
    const TField* field = query.FindField("codprocesso");
    if (field == nullptr || field->IsNull()) return std::nullopt;
    return field->AsLargeInt();
}

QPushButton* barButton(const QString& caption, const char* name, QWidget* bar) {
    auto* button = new QPushButton(caption, bar);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in a field must not press a button behind the user's back.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TfrmEnviaEmail::TfrmEnviaEmail(QWidget& owner, TmySQLDatabase& database,
                               std::optional<std::int64_t> codprocesso, std::string usuarioLogado,
                               QString arquivosZip)
    : QDialog(&owner),
      qryPDF(database, "qryPDF"),
      qryEmpresa(database, "qryEmpresa"),
      qryEu(database, "qryEu"),
      dsPDF(std::make_unique<TQueryTableModel>(qryPDF)),
      codprocesso_(codprocesso),
      usuarioLogado_(std::move(usuarioLogado)),
      arquivosZip_(std::move(arquivosZip)) {
    qryPDF.DeclareField({"codpdf", ftAutoInc, 0,
                         "C\xC3\xB3"
                         "digo"});
    qryPDF.DeclareField({"codprocesso", ftInteger, 0, "Processo"});
    qryPDF.DeclareField({"caminho", ftString, 200, "Caminho do Arquivo"});
    qryPDF.DeclareField({"cliente", ftString, 80, "Cliente"});
    qryPDF.DeclareField({"tipo", ftString, 2, "Tipo"});
    qryEmpresa.SQL().Add(Statements::Office());

    buildWindow();

    connect(btnSair, &QPushButton::clicked, this, Guard(this, [this] { btnSairClick(); }));
    connect(btnAnexar, &QPushButton::clicked, this, Guard(this, [this] { btnAnexarClick(); }));
    connect(btnEnviar, &QPushButton::clicked, this, Guard(this, [this] { btnEnviarClick(); }));

    RunGuarded(this, [this] { FormCreate(); });
}

TfrmEnviaEmail::~TfrmEnviaEmail() = default;

void TfrmEnviaEmail::buildWindow() {
    setObjectName(QStringLiteral("frmEnviaEmail"));
    setWindowTitle(QStringLiteral("Enviar E-mail"));
    // A title bar without system menu or buttons: "Sair [ESC]" closes the window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* bar = new QWidget(this);
    bar->setFixedHeight(kBarHeight);
    btnAnexar = barButton(QStringLiteral("Anexar Mais Arquivos"), "btnAnexar", bar);
    btnEnviar = barButton(QStringLiteral("Enviar [F5]"), "btnEnviar", bar);
    btnSair = barButton(QStringLiteral("Sair [ESC]"), "btnSair", bar);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(6, 4, 6, 4);
    barLayout->addStretch();
    barLayout->addWidget(btnAnexar);
    barLayout->addWidget(btnEnviar);
    barLayout->addWidget(btnSair);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    TabEmail = new QWidget(PageControl1);
    TabEmail->setObjectName(QStringLiteral("TabEmail"));
    edtPara = new QLineEdit(TabEmail);
    edtPara->setObjectName(QStringLiteral("edtPara"));
    edtPara->setFixedWidth(kFieldWidth);
    edtAssunto = new QLineEdit(TabEmail);
    edtAssunto->setObjectName(QStringLiteral("edtAssunto"));
    edtAssunto->setFixedWidth(kFieldWidth);
    SetCharCase(*edtAssunto, ecUpperCase);
    Memo1 = new QPlainTextEdit(TabEmail);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    // One empty line at design time, so the prepared text starts with two empty lines.
    Memo1->setPlainText(QString());
    auto* emailLayout = new QVBoxLayout(TabEmail);
    emailLayout->addWidget(new QLabel(QStringLiteral("Para:"), TabEmail));
    emailLayout->addWidget(edtPara);
    emailLayout->addWidget(
        new QLabel(QStringLiteral("Separe os endereços com ponto e vírgula ( ; )"), TabEmail));
    emailLayout->addWidget(new QLabel(QStringLiteral("Assunto:"), TabEmail));
    emailLayout->addWidget(edtAssunto);
    emailLayout->addWidget(Memo1, 1);
    PageControl1->addTab(TabEmail, QStringLiteral("E-mail"));

    TabArquivos = new QWidget(PageControl1);
    TabArquivos->setObjectName(QStringLiteral("TabArquivos"));
    DBGrid1 = new TDBGrid(TabArquivos);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSource(dsPDF.get());
    DBGrid1->SetDisplayWidth(QStringLiteral("caminho"), 30);
    auto* filesLayout = new QVBoxLayout(TabArquivos);
    filesLayout->setContentsMargins(0, 0, 0, 0);
    filesLayout->addWidget(DBGrid1);
    PageControl1->addTab(TabArquivos, QStringLiteral("Lista de Arquivos"));

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFiles);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(PageControl1, 1);
}

void TfrmEnviaEmail::FormCreate() {
    qryPDF.Close();
    qryPDF.SQL().Clear();
    qryPDF.SQL().Add(Statements::FiledDocumentsOfCase(codprocesso_));
    qryPDF.Open();
    qryEmpresa.Open();

    const std::string cliente = currentText(qryPDF, "cliente");
    edtAssunto->setText(qs(CaseMailSubject(cliente)));

    TOfficeRecord office;
    office.fantasia = currentText(qryEmpresa, "fantasia");
    office.endereco = currentText(qryEmpresa, "endereco");
    office.numero = currentText(qryEmpresa, "numero");
    office.bairro = currentText(qryEmpresa, "bairro");
    office.cidade = currentText(qryEmpresa, "cidade");
    office.email = currentText(qryEmpresa, "email");
    office.telefone = currentText(qryEmpresa, "telefone");
    office.telefone2 = currentText(qryEmpresa, "telefone2");

    const LocalDateTime now = LocalClock::Now();
    const QDateTime opened(QDate(now.Year, now.Month, now.Day),
                           QTime(now.Hour, now.Minute, now.Second));
    const QLocale locale = QLocale::system();
    const std::string date = locale.toString(opened.date(), QLocale::ShortFormat).toStdString();
    const std::string time =
        locale.toString(opened, locale.timeFormat(QLocale::LongFormat)).toStdString();

    QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
    for (const std::string& line : CaseMailBodyLines(cliente, usuarioLogado_, office, date, time))
        lines << qs(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TfrmEnviaEmail::keyPressEvent(QKeyEvent* event) {
    // The window sees its own keys only: a key a control left unhandled and passed up here is
    // not one, so with the focus in a field F5 and Esc do nothing.
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus != this) {
        event->ignore();
        return;
    }
    RunGuarded(this, [this, event] { FormKeyDown(*event); });
}

void TfrmEnviaEmail::FormKeyDown(QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape)
        btnSair->click();
    else if (event.key() == Qt::Key_F5)
        btnEnviar->click();
}

void TfrmEnviaEmail::btnSairClick() { close(); }

void TfrmEnviaEmail::btnAnexarClick() {
    if (OpenDialog1->exec() != QDialog::Accepted) return;
    const QStringList files = OpenDialog1->selectedFiles();
    if (files.isEmpty()) return;
    const Statements statements(qryEu.Database());
    qryEu.Close();
    qryEu.SQL().Clear();
    qryEu.SQL().Add(statements.InsertMailedFile(currentCase(qryPDF), files.first().toStdString()));
    qryEu.ExecSQL();
    qryPDF.Refresh();
}

void TfrmEnviaEmail::btnEnviarClick() {
    TCaseMail mail;
    mail.para = edtPara->text().toStdString();
    mail.assunto = edtAssunto->text().toStdString();
    std::vector<std::string> lines;
    for (const QString& line : Memo1->toPlainText().split(QLatin1Char('\n')))
        lines.push_back(line.toStdString());
    mail.body = CaseMailBody(lines);
    if (qryPDF.Active())
        for (qryPDF.First(); !qryPDF.Eof(); qryPDF.Next())
            mail.files.push_back({currentText(qryPDF, "tipo"), currentText(qryPDF, "caminho")});

    SendCaseMail(mail, [this] {
        return TMessageBox::Show(this, QStringLiteral("Deseja Enviar o contrato também?"),
                                 QStringLiteral("Enviar Contrato?"), TMsgIcon::Question,
                                 TMsgButtons::YesNo) == TMsgResult::Yes;
    });
    TMessageBox::Show(this, QStringLiteral("E-mail enviado com sucesso!"),
                      QStringLiteral("Atenção!"), TMsgIcon::Warning);
    std::error_code ignored;
    std::filesystem::remove(arquivosZip_.toStdString(), ignored);
}
