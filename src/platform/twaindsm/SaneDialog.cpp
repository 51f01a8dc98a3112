#include "platform/twaindsm/SaneDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/twaindsm/SaneDevice.h"

namespace brevanto::twaindsm {

struct SaneDialog::Widgets {
    SaneDevice* device = nullptr;
    Actions actions;
    QPointer<QDialog> dialog;
    QComboBox* mode = nullptr;
    QComboBox* resolution = nullptr;
    QComboBox* source = nullptr;
    QComboBox* pageSize = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* scan = nullptr;
    QPushButton* cancel = nullptr;
};

namespace {

void select(QComboBox* box, const QVariant& value) {
    const int at = box->findData(value);
    if (at >= 0) box->setCurrentIndex(at);
}

}  // namespace

SaneDialog::SaneDialog(SaneDevice& device, bool modal, Actions actions)
    : widgets_(std::make_unique<Widgets>()) {
    Widgets& w = *widgets_;
    w.device = &device;
    w.actions = std::move(actions);
    w.dialog = new QDialog(QApplication::activeWindow());
    w.dialog->setObjectName("saneScannerDialog");
    w.dialog->setWindowTitle(QString::fromStdString(device.productName()));
    if (modal) w.dialog->setWindowModality(Qt::ApplicationModal);

    const SaneChoices& chosen = device.choices();
    w.mode = new QComboBox;
    w.mode->setObjectName("mode");
    w.mode->addItem("Colorido", static_cast<int>(TWPT_RGB));
    w.mode->addItem("Tons de cinza", static_cast<int>(TWPT_GRAY));
    w.mode->addItem("Preto e branco", static_cast<int>(TWPT_BW));
    select(w.mode, static_cast<int>(device.parameters().pixelType));
    w.resolution = new QComboBox;
    w.resolution->setObjectName("resolution");
    for (int dpi : device.resolutions()) w.resolution->addItem(QString("%1 dpi").arg(dpi), dpi);
    select(w.resolution, device.parameters().dpi);
    w.source = new QComboBox;
    w.source->setObjectName("source");
    if (device.hasFlatbed() || !device.hasFeeder()) w.source->addItem("Mesa (vidro)", false);
    if (device.hasFeeder()) w.source->addItem("Alimentador de folhas", true);
    select(w.source, chosen.feeder);
    w.pageSize = new QComboBox;
    w.pageSize->setObjectName("pageSize");
    for (const PageSize& size : pageSizes())
        w.pageSize->addItem(QString::fromUtf8(size.caption), QString::fromLatin1(size.key));
    select(w.pageSize, QString::fromStdString(chosen.pageSize));
    w.progress = new QProgressBar;
    w.progress->setObjectName("progress");
    w.progress->setRange(0, 100);
    w.progress->setValue(0);
    w.progress->setVisible(false);

    auto* form = new QFormLayout;
    form->addRow("Modo de cor", w.mode);
    form->addRow("Resolução", w.resolution);
    form->addRow("Origem", w.source);
    form->addRow("Tamanho da página", w.pageSize);
    auto* buttons = new QDialogButtonBox;
    w.scan = buttons->addButton("Digitalizar", QDialogButtonBox::AcceptRole);
    w.scan->setObjectName("scan");
    w.scan->setDefault(true);
    w.cancel = buttons->addButton("Cancelar", QDialogButtonBox::RejectRole);
    w.cancel->setObjectName("cancel");
    auto* layout = new QVBoxLayout(w.dialog);
    layout->addLayout(form);
    layout->addWidget(w.progress);
    layout->addWidget(buttons);

    Widgets* self = &w;
    QObject::connect(w.scan, &QPushButton::clicked, w.dialog, [self] {
        if (!self->actions.scan) return;
        SaneChoices choices = self->device->choices();
        choices.pixelType = static_cast<TW_INT16>(self->mode->currentData().toInt());
        choices.dpi = self->resolution->currentData().toInt();
        choices.feeder = self->source->currentData().toBool();
        choices.pageSize = self->pageSize->currentData().toString().toStdString();
        self->device->choose(choices);
        self->actions.scan();
    });
    // While a sheet is read, Cancel stops the scanner; otherwise it closes the source.
    auto cancel = [self] {
        if (self->device->reading())
            self->device->cancelReading();
        else if (self->actions.cancel)
            self->actions.cancel();
    };
    QObject::connect(w.cancel, &QPushButton::clicked, w.dialog, cancel);
    QObject::connect(w.dialog, &QDialog::rejected, w.dialog, cancel);
    device.dialog_ = this;
    w.dialog->show();
}

SaneDialog::~SaneDialog() {
    widgets_->actions = {};
    if (widgets_->device->dialog_ == this) widgets_->device->dialog_ = nullptr;
    // At process exit, after the application object is gone, widgets can no longer be deleted.
    if (widgets_->dialog && QCoreApplication::instance()) {
        QObject::disconnect(widgets_->dialog, nullptr, nullptr, nullptr);
        delete widgets_->dialog.data();
    }
}

void SaneDialog::setBusy(bool busy) {
    Widgets& w = *widgets_;
    if (!w.dialog) return;
    for (QWidget* control :
         std::initializer_list<QWidget*>{w.mode, w.resolution, w.source, w.pageSize, w.scan})
        control->setEnabled(!busy);
    w.progress->setVisible(busy);
    if (busy) showProgress(0);
}

void SaneDialog::showProgress(int percent) {
    Widgets& w = *widgets_;
    if (!w.dialog) return;
    if (percent < 0) {
        w.progress->setRange(0, 0);  // a sheet of unknown length: the bar only moves
    } else {
        w.progress->setRange(0, 100);
        w.progress->setValue(std::min(percent, 100));
    }
}

}  // namespace brevanto::twaindsm
