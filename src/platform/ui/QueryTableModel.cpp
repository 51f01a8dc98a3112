#include "platform/ui/QueryTableModel.h"

#include "db/TmySQLQuery.h"

namespace {

bool isNumeric(TFieldType type) {
    switch (type) {
        case ftSmallint:
        case ftInteger:
        case ftLargeint:
        case ftAutoInc:
        case ftFloat:
            return true;
        default:
            return false;
    }
}

}  // namespace

TQueryTableModel::TQueryTableModel(TmySQLQuery& query, QObject* parent)
    : QAbstractTableModel(parent), query_(&query) {
    listenerKey_ = query.AddListener([this](TDataEvent event) {
        if (event == TDataEvent::deDataSetChange) {
            // The query has already replaced its rows; a reset makes every view read anew.
            beginResetModel();
            endResetModel();
        }
        emit CurrentRowChanged(query_->RecNo());
    });
}

TQueryTableModel::~TQueryTableModel() { query_->RemoveListener(listenerKey_); }

int TQueryTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !query_->Active()) return 0;
    return query_->RecordCount();
}

int TQueryTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return query_->Active() ? query_->FieldCount() : static_cast<int>(query_->FieldDefs().size());
}

QVariant TQueryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    // The whole text as the tooltip: a grid column may show only part of it.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const auto value = query_->Value(index.row(), index.column());
        return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size()))
                     : QString();
    }
    if (role == Qt::TextAlignmentRole && isNumeric(query_->Fields(index.column()).DataType()))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TQueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (query_->Active()) return QString::fromStdString(query_->Fields(section).DisplayLabel());
    const TFieldDef& def = query_->FieldDefs()[section];
    return QString::fromStdString(def.DisplayLabel.empty() ? def.FieldName : def.DisplayLabel);
}

Qt::ItemFlags TQueryTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int TQueryTableModel::FieldWidth(int column) const {
    if (column < 0 || column >= columnCount()) return 0;
    return query_->Active() ? query_->Fields(column).Size() : query_->FieldDefs()[column].Size;
}

int TQueryTableModel::ColumnOf(const QString& fieldName) const {
    for (int c = 0; c < columnCount(); ++c) {
        const std::string& own =
            query_->Active() ? query_->Fields(c).FieldName() : query_->FieldDefs()[c].FieldName;
        if (QString::fromStdString(own).compare(fieldName, Qt::CaseInsensitive) == 0) return c;
    }
    return -1;
}

void TQueryTableModel::SetCurrentRow(int row) { query_->SetRecNo(row); }
