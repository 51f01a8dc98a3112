#include "platform/twaindsm/ScanDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace brevanto::twaindsm {

namespace {

const char* pixelTypeCaption(TW_INT16 pixelType) {
    switch (pixelType) {
        case TWPT_BW:
            return "Black and white";
        case TWPT_GRAY:
            return "Gray";
        case TWPT_RGB:
            return "Color (RGB)";
        default:
            return "8-bit palette";
    }
}

}  // namespace

struct ScanDialog::Widgets {
    ImageDevice* device = nullptr;
    Actions actions;
    QPointer<QDialog> dialog;
    QSpinBox* sheets = nullptr;
    QComboBox* pixelType = nullptr;
    QComboBox* resolution = nullptr;
    QPushButton* scan = nullptr;
    QPushButton* cancel = nullptr;
};

bool ScanDialog::guiAvailable() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

ScanDialog::ScanDialog(ImageDevice& device, bool modal, Actions actions)
    : widgets_(std::make_unique<Widgets>()) {
    Widgets& w = *widgets_;
    w.device = &device;
    w.actions = std::move(actions);
    w.dialog = new QDialog(QApplication::activeWindow());
    w.dialog->setObjectName("virtualScannerDialog");
    w.dialog->setWindowTitle(QString::fromStdString(device.productName()));
    if (modal) w.dialog->setWindowModality(Qt::ApplicationModal);

    const ScanParameters& p = device.parameters();
    w.sheets = new QSpinBox;
    w.sheets->setObjectName("sheets");
    w.sheets->setRange(0, 1000);
    w.sheets->setValue(p.sheets);
    w.pixelType = new QComboBox;
    w.pixelType->setObjectName("pixelType");
    for (TW_INT16 type : device.pixelTypes()) {
        w.pixelType->addItem(pixelTypeCaption(type), static_cast<int>(type));
        if (type == p.pixelType) w.pixelType->setCurrentIndex(w.pixelType->count() - 1);
    }
    w.resolution = new QComboBox;
    w.resolution->setObjectName("resolution");
    for (int dpi : device.resolutions()) {
        w.resolution->addItem(QString("%1 dpi").arg(dpi), dpi);
        if (dpi == p.dpi) w.resolution->setCurrentIndex(w.resolution->count() - 1);
    }

    auto* form = new QFormLayout;
    form->addRow("Sheets in the feeder", w.sheets);
    form->addRow("Pixel type", w.pixelType);
    form->addRow("Resolution", w.resolution);
    auto* buttons = new QDialogButtonBox;
    w.scan = buttons->addButton("Scan", QDialogButtonBox::AcceptRole);
    w.scan->setObjectName("scan");
    w.scan->setDefault(true);
    w.cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    w.cancel->setObjectName("cancel");
    auto* layout = new QVBoxLayout(w.dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    Widgets* self = &w;
    QObject::connect(w.scan, &QPushButton::clicked, w.dialog, [self] {
        if (!self->actions.scan) return;
        ScanParameters& parameters = self->device->parameters();
        parameters.sheets = self->sheets->value();
        parameters.pixelType = static_cast<TW_INT16>(self->pixelType->currentData().toInt());
        parameters.dpi = self->resolution->currentData().toInt();
        self->actions.scan();
    });
    // "Cancel", Escape and the window's close button all end in rejected().
    QObject::connect(w.cancel, &QPushButton::clicked, w.dialog, &QDialog::reject);
    QObject::connect(w.dialog, &QDialog::rejected, w.dialog, [self] {
        if (self->actions.cancel) self->actions.cancel();
    });
    w.dialog->show();
}

ScanDialog::~ScanDialog() {
    widgets_->actions = {};
    // At process exit, after the application object is gone, widgets can no longer be deleted.
    if (widgets_->dialog && QCoreApplication::instance()) {
        QObject::disconnect(widgets_->dialog, nullptr, nullptr, nullptr);
        delete widgets_->dialog.data();
    }
}

void ScanDialog::setBusy(bool busy) {
    Widgets& w = *widgets_;
    if (!w.dialog) return;
    for (QWidget* control :
         std::initializer_list<QWidget*>{w.sheets, w.pixelType, w.resolution, w.scan})
        control->setEnabled(!busy);
}

}  // namespace brevanto::twaindsm
