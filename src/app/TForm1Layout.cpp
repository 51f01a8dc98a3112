// The controls of the main window's three tabs, placed as the designer placed them.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFont>
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

QPushButton* button(const QString& text, const char* name, QWidget* parent, QRect bounds) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(bounds);
    return b;
}

}  // namespace

void TForm1::buildCaptureTab() {
    QWidget* tab = TabMontar;
    label(QStringLiteral("Processo:"), tab, 8, 6);
    edtProcesso = named(new QLineEdit(tab), "edtProcesso");
    edtProcesso->setGeometry(8, 24, 121, 24);
    GoAcquire = button(QStringLiteral("Capturar"), "GoAcquire", tab, {135, 20, 100, 30});

    label(QStringLiteral("Tipo de Documento:"), tab, 260, 6, true);
    cbTipo = named(new QComboBox(tab), "cbTipo");
    cbTipo->setGeometry(260, 24, 220, 24);
    cbTipo->setEditable(true);
    cbTipo->setInsertPolicy(QComboBox::NoInsert);
    cbTipo->addItems({QStringLiteral("Contrato"), QStringLiteral("Boletim de Ocorrencia"),
                      QStringLiteral("Prontuário"), QStringLiteral("Conta"),
                      QStringLiteral("Rg ou CPF"), QStringLiteral("Comprovante de Endereço"),
                      QStringLiteral("DUT"), QStringLiteral("Outros")});
    cbTipo->setCurrentIndex(-1);
    cbTipo->setEditText(QStringLiteral("Escolha um tipo"));

    btnSAlvar = button(QStringLiteral("Salvar PDF"), "btnSAlvar", tab, {777, 16, 110, 34});

    Listbox1 = named(new QListWidget(tab), "Listbox1");
    Listbox1->setGeometry(8, 60, 143, 321);
    Listbox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Listbox1->setContextMenuPolicy(Qt::CustomContextMenu);
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
    AdvScrollBox1->setGeometry(170, 60, 700, 555);
    AdvScrollBox1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    imgMostra = named(new QLabel, "imgMostra");
    imgMostra->setFixedSize(600, 842);
    imgMostra->setAlignment(Qt::AlignCenter);
    imgMostra->setScaledContents(false);
    AdvScrollBox1->setWidget(imgMostra);
}

void TForm1::buildListTab() {
    QWidget* tab = TabListagem;
    auto* bar = new QWidget(tab);
    bar->setFixedHeight(49);
    label(QStringLiteral("Processo:"), bar, 8, 4);
    edtPesquisa = named(new QLineEdit(bar), "edtPesquisa");
    edtPesquisa->setGeometry(8, 21, 313, 24);

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
    label(QStringLiteral("Pasta onde os arquivos serão salvos"), tab, 16, 16);
    edtDir = named(new QLineEdit(tab), "edtDir");
    edtDir->setGeometry(16, 36, 280, 24);
    AdvGlowButton1 = button(QStringLiteral("Buscar"), "AdvGlowButton1", tab, {302, 33, 80, 30});
    btnSalva = button(QStringLiteral("Salvar Alterações"), "btnSalva", tab, {16, 72, 150, 32});

    pnlDiretorio = named(new QWidget(tab), "pnlDiretorio");
    pnlDiretorio->setGeometry(390, 16, 252, 372);
    cxShellTreeView1 = named(new QTreeView(pnlDiretorio), "cxShellTreeView1");
    cxShellTreeView1->setGeometry(9, 9, 233, 313);
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
    AdvGlowButton2 =
        button(QStringLiteral("Ok"), "AdvGlowButton2", pnlDiretorio, {9, 330, 233, 32});
    pnlDiretorio->hide();
}
