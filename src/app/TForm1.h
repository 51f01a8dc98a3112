#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "app/CaptureJournal.h"
#include "app/CaptureLog.h"
#include "app/ConfigFile.h"
#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"
#include "platform/graphics/Picture.h"
#include "report/ProgramPageLayout.h"
#include "report/TPReport.h"

class QAction;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTreeView;
class TDBGrid;
class TQueryTableModel;

namespace brevanto::graphics {
class Bitmap;
}
namespace twain {
class TTwainManager;
class TTwainObject;
}  // namespace twain
namespace win {
class QtMessagePump;
}

// The main window, "Brevanto - Scanner": the capture workspace, the filed-document list and the
// folder setting on three tabs. It owns the program's one database connection, which every
// window's queries use, and the queries of its own tabs. Created disabled; FormCreate connects,
// prepares the folder and holds the user in the login dialog, whose success enables it.
//
// Controls keep their designer names and are owned by the window (Qt parent-child); the data
// sources are declared after the queries they read, so they go first.
class TForm1 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

  public:
    explicit TForm1(TConfigFolders folders, QWidget* parent = nullptr);
    ~TForm1() override;

    // The creation handler: configuration, connection, the two start-up queries, the default
    // folder, then the login dialog (modal). An error on the way is shown and ends the program.
    void FormCreate();

    // The login of the user who logged in, as stored; empty until then.
    const std::string& UsuarioLogado() const { return usuarioLogado_; }
    void SetUsuarioLogado(std::string login) { usuarioLogado_ = std::move(login); }

    // Ends the program: no further window, and the main loop (if running) quits with the code.
    void TerminateApplication(int exitCode = 0);
    bool Terminated() const { return terminated_; }
    int ExitCode() const { return exitCode_; }

    const TConfigFolders& Folders() const { return folders_; }

    // The file the office's other software leaves for mailing, removed after every send.
    void SetArquivosZip(QString path) { arquivosZip_ = std::move(path); }

    // The text after the entry's last "|", at most 200 characters: the page's BMP path.
    static QString EntryPath(const QString& entry);

    // Handlers.
    void edtProcessoExit();
    void GoAcquireClick();
    void TwainTwainAcquire(twain::TTwainObject* Sender, int Index,
                           brevanto::graphics::Bitmap* Image, bool& Cancel);
    void TwainAcquireError(twain::TTwainObject* Sender, int Index, int ErrorCode, int Additional);
    void btnSAlvarClick();
    void Listbox1Click();
    void ExcluirPgina1Click();
    void Mudarparacima1Click();
    void Mudarparabaixo1Click();
    void edtPesquisaChange();
    void DBGrid1DblClick();
    void SalvarArquivoComo1Click();
    void EnviarArquivosporEmail1Click();
    void AdvGlowButton1Click();
    void AdvGlowButton2Click();
    void btnSalvaClick();

    // Components.
    TmySQLDatabase mySQLDatabase1;
    TmySQLQuery qryPDF;
    TmySQLQuery qryDir;
    TmySQLQuery qryProcesso;
    TmySQLQuery qryEu;
    std::unique_ptr<twain::TTwainManager> Twain;
    TPReport PReport1;
    // pagina, PRGridPanel1 and PRJpegImage1: never shown, printed once per page.
    TProgramPageLayout PageLayout;

    // Page control and tabs.
    QTabWidget* RzPageControl1;
    QWidget* TabMontar;
    QWidget* TabListagem;
    QWidget* TabConfiguracoes;

    // "Montar Aquivo".
    QLineEdit* edtProcesso;
    QPushButton* GoAcquire;
    QComboBox* cbTipo;
    QPushButton* btnSAlvar;
    QListWidget* Listbox1;
    QMenu* PopupMenu1;
    QAction* ExcluirPgina1;
    QAction* Mudarparacima1;
    QAction* Mudarparabaixo1;
    QScrollArea* AdvScrollBox1;
    QLabel* imgMostra;
    // The capture log as text, one BMP path per listed page in list order: it follows the
    // page list, which CaptureLog holds.
    QPlainTextEdit* Memo1;
    TCaptureLog CaptureLog;
    // The last delivered image.
    brevanto::graphics::Picture ImageHolder;

    // "Listagem".
    QLineEdit* edtPesquisa;
    TDBGrid* DBGrid1;
    QMenu* PopupMenu2;
    QAction* SalvarArquivoComo1;
    QAction* EnviarArquivosporEmail1;

    // "Configurações".
    QLineEdit* edtDir;
    QPushButton* AdvGlowButton1;
    QPushButton* btnSalva;
    QWidget* pnlDiretorio;
    QTreeView* cxShellTreeView1;
    QPushButton* AdvGlowButton2;

  signals:
    void ApplicationTerminated(int exitCode);

  private:
    void declareFields();
    void buildCaptureTab();
    void buildListTab();
    void buildSettingsTab();
    void connectHandlers();
    void connectToConfiguredServer();
    void showLogin();
    void setUpTwain();
    void setUpReport();
    // Shows the capture log in the page list and in Memo1, the selection at row.
    void showCaptureLog(int row);
    std::string pdfFolder() const;
    // Pages scanned in an earlier run and never filed: offered back once a user is in.
    void offerUnfiledPages();

    std::unique_ptr<TQueryTableModel> dsPDF;
    std::unique_ptr<TQueryTableModel> dsDir;
    win::QtMessagePump* pump_;
    QFileSystemModel* folderTree_ = nullptr;

    TConfigFolders folders_;
    TCaptureJournal journal_;
    QString arquivosZip_ = QStringLiteral("/Arquivos.zip");
    std::string usuarioLogado_;
    bool terminated_ = false;
    int exitCode_ = 0;
};
