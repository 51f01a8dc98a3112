// The controls of the main window's three tabs, laid out as the designer placed them.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFont>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/TForm1.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/QueryTableModel.h"

namespace {

QLabel* label(const QString& text, QWidget* parent, int x, int y, bool bold = false) {
    auto* l = new QLabel(text, parent);
    if (bold) {
        QFont font = l->font();
        font.setBold(true);
        l->setFont(font);
    }
    l->move(x, y);
    l->adjustSize();
    return l;
}

template <class Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

void TForm1::buildCaptureTab() {
    QWidget* tab = TabMontar;
    auto* caseLabel = new QLabel(QStringLiteral("Processo:"), tab);
    edtProcesso = named(new QLineEdit(tab), "edtProcesso");
    edtProcesso->setMinimumWidth(121);
    edtProcesso->setToolTip(
        QStringLiteral("Número do processo; deixe em branco para procurar pelo nome do cliente"));
    GoAcquire = named(new QPushButton(QStringLiteral("Capturar"), tab), "GoAcquire");
    GoAcquire->setMinimumSize(100, 30);
    GoAcquire->setShortcut(QKeySequence(Qt::Key_F2));
    GoAcquire->setToolTip(QStringLiteral("Digitalizar uma página no scanner (F2)"));

    auto* typeLabel = label(QStringLiteral("Tipo de Documento:"), tab, 0, 0, true);
    cbTipo = named(new QComboBox(tab), "cbTipo");
    cbTipo->setMinimumWidth(220);
    cbTipo->setEditable(true);
    cbTipo->setInsertPolicy(QComboBox::NoInsert);
    cbTipo->addItems({QStringLiteral("Contrato"), QStringLiteral("Boletim de Ocorrencia"),
                      QStringLiteral("Prontuário"), QStringLiteral("Conta"),
                      QStringLiteral("Rg ou CPF"), QStringLiteral("Comprovante de Endereço"),
                      QStringLiteral("DUT"), QStringLiteral("Outros")});
    cbTipo->setCurrentIndex(-1);
    cbTipo->setEditText(QStringLiteral("Escolha um tipo"));
    cbTipo->setToolTip(QStringLiteral("O tipo do documento que será salvo"));

    btnSAlvar = named(new QPushButton(QStringLiteral("Salvar PDF"), tab), "btnSAlvar");
    btnSAlvar->setMinimumSize(110, 34);
    btnSAlvar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    btnSAlvar->setToolTip(
        QStringLiteral("Salvar as páginas da lista como um PDF do processo (Ctrl+S)"));

    Listbox1 = named(new QListWidget(tab), "Listbox1");
    Listbox1->setFixedWidth(143);
    Listbox1->setMinimumHeight(120);
    Listbox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Listbox1->setContextMenuPolicy(Qt::CustomContextMenu);
    Listbox1->setToolTip(
        QStringLiteral("Páginas digitalizadas; botão direito para excluir ou mudar de lugar"));
    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    ExcluirPgina1 = PopupMenu1->addAction(QStringLiteral("Excluir Página"));
    PopupMenu1->addSeparator();
    Mudarparacima1 = PopupMenu1->addAction(QStringLiteral("Mudar para cima"));
    Mudarparabaixo1 = PopupMenu1->addAction(QStringLiteral("Mudar para baixo"));

    // The capture log is never seen: it lies behind the preview.
    Memo1 = named(new QPlainTextEdit(tab), "Memo1");
    Memo1->setGeometry(170, 60, 185, 89);
    Memo1->setReadOnly(true);
    Memo1->hide();

    AdvScrollBox1 = named(new QScrollArea(tab), "AdvScrollBox1");
    AdvScrollBox1->setMinimumSize(240, 160);
    AdvScrollBox1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    imgMostra = named(new QLabel, "imgMostra");
    imgMostra->setFixedSize(600, 842);
    imgMostra->setAlignment(Qt::AlignCenter);
    imgMostra->setScaledContents(false);
    AdvScrollBox1->setWidget(imgMostra);

    // The designer's places at 100 %, in layouts: maximised, the list and the preview take the
    // room; scaled up or on a small screen, nothing falls off the window.
    auto* caseColumn = new QVBoxLayout;
    caseColumn->setSpacing(2);
    caseColumn->addWidget(caseLabel);
    caseColumn->addWidget(edtProcesso);
    auto* typeColumn = new QVBoxLayout;
    typeColumn->setSpacing(2);
    typeColumn->addWidget(typeLabel);
    typeColumn->addWidget(cbTipo);
    auto* top = new QHBoxLayout;
    top->addLayout(caseColumn);
    top->addWidget(GoAcquire, 0, Qt::AlignBottom);
    top->addSpacing(19);
    top->addLayout(typeColumn);
    top->addStretch(1);
    top->addWidget(btnSAlvar, 0, Qt::AlignBottom);
    auto* body = new QHBoxLayout;
    body->setSpacing(19);
    body->addWidget(Listbox1);
    body->addWidget(AdvScrollBox1, 1);
    auto* page = new QVBoxLayout(tab);
    page->setContentsMargins(8, 6, 14, 8);
    page->addLayout(top);
    page->addLayout(body, 1);
}

void TForm1::buildListTab() {
    QWidget* tab = TabListagem;
    auto* bar = new QWidget(tab);
    bar->setMinimumHeight(49);
    auto* searchLabel = new QLabel(QStringLiteral("Processo:"), bar);
    edtPesquisa = named(new QLineEdit(bar), "edtPesquisa");
    edtPesquisa->setFixedWidth(313);
    edtPesquisa->setToolTip(
        QStringLiteral("Procurar pelo nome do cliente (% e _ valem qualquer texto)"));
    auto* barLayout = new QVBoxLayout(bar);
    barLayout->setContentsMargins(8, 4, 8, 4);
    barLayout->setSpacing(2);
    barLayout->addWidget(searchLabel);
    barLayout->addWidget(edtPesquisa);

    DBGrid1 = named(new TDBGrid(tab), "DBGrid1");
    DBGrid1->SetDataSource(dsPDF.get());
    DBGrid1->SetDisplayWidth(QStringLiteral("caminho"), 30);
    // The file name is what a clerk looks for: long paths lose their middle, not their end.
    DBGrid1->SetElideMiddle(QStringLiteral("caminho"));
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu2 = named(new QMenu(this), "PopupMenu2");
    SalvarArquivoComo1 = PopupMenu2->addAction(QStringLiteral("Excluir"));
    EnviarArquivosporEmail1 = PopupMenu2->addAction(QStringLiteral("Enviar Arquivos por Email"));

    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(DBGrid1);
}

void TForm1::buildSettingsTab() {
    QWidget* tab = TabConfiguracoes;
    auto* folderLabel = new QLabel(QStringLiteral("Pasta onde os arquivos serão salvos"), tab);
    edtDir = named(new QLineEdit(tab), "edtDir");
    edtDir->setMinimumWidth(280);
    edtDir->setToolTip(
        QStringLiteral("A pasta dos PDFs e das páginas, a mesma em todas as estações"));
    AdvGlowButton1 = named(new QPushButton(QStringLiteral("Buscar"), tab), "AdvGlowButton1");
    AdvGlowButton1->setMinimumSize(80, 30);
    AdvGlowButton1->setToolTip(QStringLiteral("Escolher a pasta numa árvore de pastas"));
    btnSalva = named(new QPushButton(QStringLiteral("Salvar Alterações"), tab), "btnSalva");
    btnSalva->setMinimumSize(150, 32);
    btnSalva->setToolTip(QStringLiteral("Gravar a pasta para todas as estações"));

    pnlDiretorio = named(new QWidget(tab), "pnlDiretorio");
    pnlDiretorio->setFixedWidth(252);
    pnlDiretorio->setMinimumHeight(240);
    cxShellTreeView1 = named(new QTreeView(pnlDiretorio), "cxShellTreeView1");
    cxShellTreeView1->setMinimumHeight(160);
    // Folders only, from the root of the file system; a right click selects too.
    folderTree_ = new QFileSystemModel(this);
    folderTree_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folderTree_->setRootPath(QDir::rootPath());
    cxShellTreeView1->setModel(folderTree_);
    cxShellTreeView1->setRootIndex(folderTree_->index(QDir::rootPath()));
    for (int column = 1; column < folderTree_->columnCount(); ++column)
        cxShellTreeView1->hideColumn(column);
    cxShellTreeView1->setHeaderHidden(true);
    cxShellTreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cxShellTreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = cxShellTreeView1->indexAt(at);
        if (index.isValid()) cxShellTreeView1->setCurrentIndex(index);
    });
    AdvGlowButton2 = named(new QPushButton(QStringLiteral("Ok"), pnlDiretorio), "AdvGlowButton2");
    AdvGlowButton2->setMinimumHeight(32);
    AdvGlowButton2->setToolTip(QStringLiteral("Usar a pasta selecionada"));
    auto* panel = new QVBoxLayout(pnlDiretorio);
    panel->setContentsMargins(9, 9, 9, 9);
    panel->addWidget(cxShellTreeView1, 1);
    panel->addWidget(AdvGlowButton2);
    pnlDiretorio->hide();

    auto* field = new QHBoxLayout;
    field->addWidget(edtDir, 1);
    field->addWidget(AdvGlowButton1);
    auto* left = new QVBoxLayout;
    left->addWidget(folderLabel);
    left->addLayout(field);
    left->addWidget(btnSalva, 0, Qt::AlignLeft);
    left->addStretch(1);
    auto* page = new QHBoxLayout(tab);
    page->setContentsMargins(16, 16, 16, 16);
    page->addLayout(left, 0);
    page->addWidget(pnlDiretorio, 0);
    page->addStretch(1);
}
