#include "platform/twaindsm/SelectSourceDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevanto::twaindsm {

std::optional<std::size_t> runSelectSourceDialog(const std::vector<std::string>& names,
                                                 std::size_t defaultIndex) {
    QPointer<QDialog> dialog = new QDialog(QApplication::activeWindow());
    dialog->setObjectName("selectSourceDialog");
    dialog->setWindowTitle("Select Source");
    auto* list = new QListWidget;
    list->setObjectName("sources");
    for (const std::string& name : names) list->addItem(QString::fromStdString(name));
    if (defaultIndex < names.size()) list->setCurrentRow(static_cast<int>(defaultIndex));
    auto* buttons = new QDialogButtonBox;
    QPushButton* select = buttons->addButton("Select", QDialogButtonBox::AcceptRole);
    select->setObjectName("select");
    select->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("cancel");
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog, &QDialog::accept);

    const int result = dialog->exec();
    // The owner may have gone away while the dialog ran.
    if (!dialog) return std::nullopt;
    const int row = list->currentRow();
    delete dialog.data();
    if (result != QDialog::Accepted || row < 0 || static_cast<std::size_t>(row) >= names.size())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

}  // namespace brevanto::twaindsm
