#include "app/TfrmLogin2.h"

#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "app/TForm1.h"
#include "platform/ui/CharCaseValidator.h"
#include "platform/ui/ExitWatcher.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/MessageBox.h"
#include "register/Statements.h"

namespace {

constexpr int kClientWidth = 391;
constexpr int kClientHeight = 172;
constexpr int kUserLength = 15;
constexpr int kPasswordLength = 7;

bool isBlank(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > ' ') return false;
    return true;
}

QLabel* whiteLabel(const QString& text, QWidget* parent, int x, int y, int pixelSize = 0,
                   bool bold = false) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    if (pixelSize > 0) font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TfrmLogin2::TfrmLogin2(TForm1& owner)
    : QDialog(&owner, Qt::Dialog | Qt::FramelessWindowHint),
      qryLogin(owner.mySQLDatabase1, "qryLogin"),
      owner_(&owner) {
    setObjectName(QStringLiteral("frmLogin2"));
    auto* title = whiteLabel(QStringLiteral("Login do Sistema"), this, 20, 14, 16, true);
    auto* userLabel = whiteLabel(QStringLiteral("Usuário:"), this, 20, 56);
    auto* passwordLabel = whiteLabel(QStringLiteral("Senha:"), this, 20, 92);
    auto* support =
        whiteLabel(QStringLiteral("Suporte: suporte@brevanto.com.br"), this, 20, 134, 11);
    auto* phone = whiteLabel(QStringLiteral("Telefone: (11) 4061-3850"), this, 20, 150, 11);

    ValorNome = new QLineEdit(this);
    ValorNome->setObjectName(QStringLiteral("ValorNome"));
    ValorNome->setFixedWidth(170);
    ValorNome->setMaxLength(kUserLength);
    SetCharCase(*ValorNome, ecUpperCase);

    ValorSenha = new QLineEdit(this);
    ValorSenha->setObjectName(QStringLiteral("ValorSenha"));
    ValorSenha->setFixedWidth(170);
    ValorSenha->setMaxLength(kPasswordLength);
    ValorSenha->setEchoMode(QLineEdit::Password);
    // A filled circle for every character, whatever the style's default.
    ValorSenha->setStyleSheet(QStringLiteral("lineedit-password-character: 9679;"));
    SetCharCase(*ValorSenha, ecLowerCase);

    // The designer's places in a grid, so larger text grows the dialog instead of clipping it.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(20, 14, 20, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(title, 0, 0, 1, 3);
    grid->addWidget(userLabel, 1, 0);
    grid->addWidget(ValorNome, 1, 1);
    grid->addWidget(passwordLabel, 2, 0);
    grid->addWidget(ValorSenha, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* contact = new QVBoxLayout;
    contact->setSpacing(0);
    contact->addWidget(support);
    contact->addWidget(phone);
    grid->addLayout(contact, 3, 0, 1, 3);
    setMinimumSize(kClientWidth, kClientHeight);
    resize(minimumSizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    setTabOrder(ValorNome, ValorSenha);
    ValorNome->installEventFilter(this);
    ValorSenha->installEventFilter(this);
    OnExit(*ValorSenha, [this] { ValorSenhaExit(); });
    ValorNome->setFocus(Qt::OtherFocusReason);
}

TfrmLogin2::~TfrmLogin2() = default;

bool TfrmLogin2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == ValorNome || watched == ValorSenha)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // ValorNomeKeyDown, ValorSenhaKeyDown: Esc ends the program.
        if (key == Qt::Key_Escape) {
            terminate();
            return true;
        }
        // ValorSenhaKeyPress: Enter runs the check.
        if (watched == ValorSenha && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            ValorSenhaExit();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmLogin2::terminate() {
    owner_->TerminateApplication(0);
    reject();
}

void TfrmLogin2::ValorSenhaExit() {
    // The focus also leaves the field while the dialog closes or hides after a good login: that
    // is no second check.
    if (checking_ || loggedIn_ || closing_) return;
    checking_ = true;
    RunGuarded(this, [this] {
        if (isBlank(ValorNome->text()) || isBlank(ValorSenha->text())) {
            TMessageBox::Show(this, QStringLiteral("Preencha todos os campos antes de continuar!"),
                              QStringLiteral("Atenção"), TMsgIcon::Error);
            return;
        }
        const Statements statements(owner_->mySQLDatabase1);
        const std::string user = ValorNome->text().toStdString();
        const std::string password = ValorSenha->text().toStdString();
        if (!found(statements.LoginEncrypted(user, password)) &&
            !found(statements.LoginPlain(user, password)))
            return;  // a wrong name or password: no message, the user corrects it

        loggedIn_ = true;
        owner_->SetUsuarioLogado(qryLogin.FieldByName("login").AsString());
        owner_->setEnabled(true);
        hide();
        accept();
    });
    checking_ = false;
}

bool TfrmLogin2::found(const std::string& statement) {
    qryLogin.Close();
    qryLogin.SQL().Clear();
    qryLogin.SQL().Add(statement);
    qryLogin.Open();
    return qryLogin.RecordCount() > 0;
}

void TfrmLogin2::done(int result) {
    closing_ = true;
    QDialog::done(result);
}

void TfrmLogin2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient sky(0, 0, width(), height());
    sky.setColorAt(0.0, QColor(0x0b, 0x2a, 0x4a));
    sky.setColorAt(1.0, QColor(0x1f, 0x5f, 0x8b));
    painter.fillRect(rect(), sky);
    painter.setPen(QColor(255, 255, 255, 60));
    painter.drawLine(20, 40, width() - 20, 40);
    painter.setPen(QColor(255, 255, 255, 120));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
