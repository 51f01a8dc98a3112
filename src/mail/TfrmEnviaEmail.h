#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>
#include <QString>

#include "db/TmySQLQuery.h"

class QFileDialog;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TDBGrid;
class TQueryTableModel;
class TmySQLDatabase;

// The e-mail composer, "Enviar E-mail": a case's filed files, a subject and a body prepared from
// the case, the logged-in user and the office record, sent as one message with the files
// attached. Lives for one modal showing, owned by the main window; its queries run on the
// borrowed main connection. Controls are owned through Qt parent-child; the data source is
// declared after the query it reads.
class TfrmEnviaEmail final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmEnviaEmail)

  public:
    // Left behind by the office's other software for mailing; removed after every send.
    static constexpr const char* kArquivosZip = "/Arquivos.zip";

    // codprocesso: the case of the filed-document list's current row; none when the list has
    // no current row (the case's files then cannot be read, and the error is shown).
    TfrmEnviaEmail(QWidget& owner, TmySQLDatabase& database,
                   std::optional<std::int64_t> codprocesso, std::string usuarioLogado,
                   QString arquivosZip = QString::fromLatin1(kArquivosZip));
    ~TfrmEnviaEmail() override;

    void FormCreate();
    void FormKeyDown(QKeyEvent& event);
    void btnSairClick();
    void btnAnexarClick();
    void btnEnviarClick();

    TmySQLQuery qryPDF;
    TmySQLQuery qryEmpresa;
    TmySQLQuery qryEu;

    QPushButton* btnAnexar;
    QPushButton* btnEnviar;
    QPushButton* btnSair;
    QTabWidget* PageControl1;
    QWidget* TabEmail;
    QWidget* TabArquivos;
    QLineEdit* edtPara;
    QLineEdit* edtAssunto;
    QPlainTextEdit* Memo1;
    TDBGrid* DBGrid1;
    QFileDialog* OpenDialog1;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildWindow();

    std::unique_ptr<TQueryTableModel> dsPDF;
    std::optional<std::int64_t> codprocesso_;
    std::string usuarioLogado_;
    QString arquivosZip_;
};
