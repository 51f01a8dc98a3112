#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "db/TmySQLQuery.h"

class QLineEdit;
class QPushButton;
class TDBGrid;
class TQueryTableModel;
class TmySQLDatabase;

// The case lookup: cases found by client name (the case's own, else the client table's), picked
// with a double-click. Lives for one modal showing; created with the main window as owner. Its
// query runs on the borrowed main connection; onPick receives the picked case number as text
// (it puts it into the case field and checks it again) before the dialog closes.
class TfrmBusca final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmBusca)

  public:
    TfrmBusca(QWidget& owner, TmySQLDatabase& database, std::function<void(const QString&)> onPick);
    ~TfrmBusca() override;

    void FormCreate();
    void edtPesquisaChange();
    void DBGrid1DblClick();
    void AdvGlowButton1Click();

    TmySQLQuery qryProcessos;
    QLineEdit* edtPesquisa;
    QPushButton* AdvGlowButton1;
    TDBGrid* DBGrid1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<TQueryTableModel> DataSource1;
    std::function<void(const QString&)> onPick_;
};
