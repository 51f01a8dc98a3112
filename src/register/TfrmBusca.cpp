#include "register/TfrmBusca.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/DBGrid.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/QueryTableModel.h"
#include "register/Statements.h"

namespace {

constexpr int kClientWidth = 565;
constexpr int kClientHeight = 355;
constexpr int kBarHeight = 41;
constexpr int kSearchWidth = 457;

}  // namespace

TfrmBusca::TfrmBusca(QWidget& owner, TmySQLDatabase& database,
                     std::function<void(const QString&)> onPick)
    : QDialog(&owner),
      qryProcessos(database, "qryProcessos"),
      DataSource1(std::make_unique<TQueryTableModel>(qryProcessos)),
      onPick_(std::move(onPick)) {
    setWindowTitle(QStringLiteral("Buscar Processos"));
    resize(kClientWidth, kClientHeight);

    qryProcessos.DeclareField({"CodProcesso", ftLargeint, 0, {}});
    qryProcessos.DeclareField({"nome", ftString, 80, "Cliente"});
    qryProcessos.DeclareField({"DtCadastro", ftDate, 0, {}});
    qryProcessos.DeclareField({"Usuario", ftString, 20, {}});
    qryProcessos.DeclareField({"CodUsuario", ftInteger, 0, {}});
    qryProcessos.DeclareField({"CodCliente", ftInteger, 0, {}});
    qryProcessos.DeclareField({"Beneficiario", ftString, 80, {}});
    qryProcessos.DeclareField({"CPFCNPJ", ftString, 20, {}});

    auto* bar = new QWidget(this);
    bar->setFixedHeight(kBarHeight);
    edtPesquisa = new QLineEdit(bar);
    edtPesquisa->setObjectName(QStringLiteral("edtPesquisa"));
    edtPesquisa->setFixedWidth(kSearchWidth);
    AdvGlowButton1 = new QPushButton(QStringLiteral("Fechar"), bar);
    AdvGlowButton1->setObjectName(QStringLiteral("AdvGlowButton1"));
    AdvGlowButton1->setAutoDefault(false);
    AdvGlowButton1->setToolTip(QStringLiteral("Fechar sem escolher um processo (Esc)"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(6, 6, 6, 6);
    barLayout->addWidget(edtPesquisa);
    barLayout->addStretch();
    barLayout->addWidget(AdvGlowButton1);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSource(DataSource1.get());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(DBGrid1);

    edtPesquisa->setToolTip(QStringLiteral("Nome do cliente; Enter ou seta para baixo vai à lista"));
    DBGrid1->setToolTip(QStringLiteral("Enter ou duplo clique escolhe o processo"));
    edtPesquisa->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    connect(edtPesquisa, &QLineEdit::textChanged, this,
            Guard(this, [this] { edtPesquisaChange(); }));
    connect(DBGrid1, &TDBGrid::DblClick, this, Guard(this, [this] { DBGrid1DblClick(); }));
    connect(AdvGlowButton1, &QPushButton::clicked, this,
            Guard(this, [this] { AdvGlowButton1Click(); }));

    RunGuarded(this, [this] { FormCreate(); });
}

TfrmBusca::~TfrmBusca() = default;

void TfrmBusca::FormCreate() { edtPesquisaChange(); }

void TfrmBusca::edtPesquisaChange() {
    const Statements statements(qryProcessos.Database());
    qryProcessos.Close();
    qryProcessos.SQL().Clear();
    qryProcessos.SQL().Add(statements.CasesByClient(edtPesquisa->text().toStdString()));
    qryProcessos.Open();
}

void TfrmBusca::DBGrid1DblClick() {
    const TField* field = qryProcessos.Active() ? qryProcessos.FindField("CodProcesso") : nullptr;
    const std::string picked = field != nullptr ? field->AsString() : std::string();
    onPick_(QString::fromStdString(picked));
    close();
}

void TfrmBusca::AdvGlowButton1Click() { close(); }

bool TfrmBusca::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtPesquisa && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Down (key down) and Enter (character 13) both go on to the grid.
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGrid1->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    // Enter on a case picks it, as a double-click does.
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunGuarded(this, [this] { DBGrid1DblClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
