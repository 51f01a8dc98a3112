#include "platform/ui/DBGrid.h"

#include <algorithm>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyledItemDelegate>

#include "platform/ui/QueryTableModel.h"

namespace {

constexpr int kDefaultMaxCharacters = 40;
constexpr int kNumberCharacters = 10;

class MiddleElidingDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

}  // namespace

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent), middleElider_(new MiddleElidingDelegate(this)) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
}

void TDBGrid::SetDataSource(TQueryTableModel* source) {
    source_ = source;
    setModel(source);
    if (source == nullptr) return;
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, source,
            [source](const QModelIndex& current) {
                if (current.isValid()) source->SetCurrentRow(current.row());
            });
    connect(source, &TQueryTableModel::CurrentRowChanged, this, &TDBGrid::followCurrentRow);
    connect(source, &QAbstractItemModel::modelReset, this, &TDBGrid::applyWidths);
    applyWidths();
}

void TDBGrid::SetDisplayWidth(const QString& fieldName, int characters) {
    displayWidths_[fieldName.toLower()] = characters;
    applyWidths();
}

void TDBGrid::SetElideMiddle(const QString& fieldName) {
    elidedInTheMiddle_.insert(fieldName.toLower());
    applyWidths();
}

void TDBGrid::followCurrentRow(int row) {
    if (source_ == nullptr || row < 0 || row >= source_->rowCount()) return;
    if (currentIndex().row() == row) return;
    setCurrentIndex(source_->index(row, std::max(0, currentIndex().column())));
}

void TDBGrid::applyWidths() {
    if (source_ == nullptr) return;
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < source_->columnCount(); ++c) {
        const QString name = source_->headerData(c, Qt::Horizontal).toString();
        int characters = source_->FieldWidth(c) > 0
                             ? std::min(source_->FieldWidth(c), kDefaultMaxCharacters)
                             : kNumberCharacters;
        for (const auto& [field, width] : displayWidths_)
            if (source_->ColumnOf(field) == c) characters = width;
        const int title = fontMetrics().horizontalAdvance(name) + 16;
        setColumnWidth(c, std::max(characters * charWidth + 8, title));
        bool middle = false;
        for (const QString& field : elidedInTheMiddle_)
            middle = middle || source_->ColumnOf(field) == c;
        setItemDelegateForColumn(c, middle ? middleElider_ : nullptr);
    }
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}
