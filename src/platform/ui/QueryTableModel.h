#pragma once

#include <QAbstractTableModel>

class TmySQLQuery;

// The data source between a query and a grid: the query's fields as columns, in declaration
// order, titled by their display label (else the field name), and its rows as rows. Follows the
// query's re-opens and moves through the query's listener.
//
// Borrows the query, which must outlive the model: declare the model after the query.
class TQueryTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TQueryTableModel)

  public:
    explicit TQueryTableModel(TmySQLQuery& query, QObject* parent = nullptr);
    ~TQueryTableModel() override;

    TmySQLQuery& DataSet() const { return *query_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Text width of a column in characters, for the grid: the field's text width, or 0.
    int FieldWidth(int column) const;
    // Column of the named field, or -1.
    int ColumnOf(const QString& fieldName) const;

    // Makes the row the query's current row (a grid selection).
    void SetCurrentRow(int row);

  signals:
    // The query's current row moved (or the rows were replaced); -1 when there is none.
    void CurrentRowChanged(int row);

  private:
    TmySQLQuery* query_;
    int listenerKey_;
};
