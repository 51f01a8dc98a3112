#pragma once

#include <map>
#include <set>

#include <QPointer>
#include <QString>
#include <QTableView>

#include "platform/ui/QueryTableModel.h"

// A read-only grid over a query: whole-row, single selection; selecting a row makes it the
// query's current row, and a move of the query's current row selects that row. DblClick fires on
// a double-click anywhere in the grid, rows or not, as the original grid's did.
//
// The grid borrows its data source; the source may be destroyed first (the grid then shows
// nothing).
class TDBGrid final : public QTableView {
    Q_OBJECT

  public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void SetDataSource(TQueryTableModel* source);
    TQueryTableModel* DataSource() const { return source_; }

    // Width of a field's column in characters (default: its text width, at most 40).
    void SetDisplayWidth(const QString& fieldName, int characters);
    // Shows a field's texts that do not fit without their middle, so both ends stay readable.
    void SetElideMiddle(const QString& fieldName);

  signals:
    void DblClick();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void followCurrentRow(int row);
    void applyWidths();

    QPointer<TQueryTableModel> source_;
    std::map<QString, int> displayWidths_;
    std::set<QString> elidedInTheMiddle_;
    QAbstractItemDelegate* middleElider_;
};
