#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "DsmTestSupport.h"

namespace twaindsmtest {
namespace {

const char* const kIni =
    "[SourceManager]\nVirtualScanner=true\n"
    "[VirtualScanner]\nPageWidthMm=40\nPageHeightMm=30\nResolution=75\nStripSize=777\n"
    "[VirtualScanner2]\nName=Second Scanner\n";

QDialog* scannerDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "virtualScannerDialog" && widget->isVisible())
            return qobject_cast<QDialog*>(widget);
    return nullptr;
}

class TwainDsmDialog : public ::testing::Test {
  protected:
    TwainDsmDialog() : ini_(kIni), session_(library_.entry()) {
        EXPECT_EQ(session_.openManager(), TWRC_SUCCESS);
    }
    IniFile ini_;
    DsmLibrary library_;
    DsmSession session_;
};

TEST_F(TwainDsmDialog, ScanPostsTransferReadyWithTheChosenSettings) {
    ASSERT_EQ(session_.openSource(), TWRC_SUCCESS);
    ASSERT_EQ(session_.enable(true, true), TWRC_SUCCESS);
    QDialog* dialog = scannerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Brevanto Virtual Scanner");
    EXPECT_TRUE(dialog->isModal());
    EXPECT_TRUE(session_.requests().empty());

    dialog->findChild<QSpinBox*>("sheets")->setValue(2);
    auto* pixelType = dialog->findChild<QComboBox*>("pixelType");
    pixelType->setCurrentIndex(pixelType->findData(static_cast<int>(TWPT_GRAY)));
    auto* resolution = dialog->findChild<QComboBox*>("resolution");
    resolution->setCurrentIndex(resolution->findData(100));
    auto* scan = dialog->findChild<QPushButton*>("scan");
    scan->click();
    EXPECT_FALSE(scan->isEnabled());
    ASSERT_EQ(session_.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});

    TW_PENDINGXFERS pending{};
    ASSERT_EQ(session_.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 2);
    TW_IMAGEINFO info{};
    ASSERT_EQ(session_.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.PixelType, TWPT_GRAY);
    EXPECT_EQ(info.XResolution.Whole, 100);
    EXPECT_EQ(info.ImageWidth, 157);  // 40 mm at 100 dpi

    ASSERT_EQ(session_.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_TRUE(scan->isEnabled());
    ASSERT_EQ(session_.disable(), TWRC_SUCCESS);
    EXPECT_EQ(scannerDialog(), nullptr);
}

TEST_F(TwainDsmDialog, CancelAndClosingPostTheCloseRequest) {
    ASSERT_EQ(session_.openSource(), TWRC_SUCCESS);
    for (bool byButton : {true, false}) {
        SCOPED_TRACE(byButton);
        ASSERT_EQ(session_.enable(true), TWRC_SUCCESS);
        QDialog* dialog = scannerDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->isModal());
        if (byButton)
            dialog->findChild<QPushButton*>("cancel")->click();
        else
            dialog->close();
        ASSERT_EQ(session_.requests(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
        // The source is only disabled; it stays open and can be enabled again.
        ASSERT_EQ(session_.disable(), TWRC_SUCCESS);
        EXPECT_EQ(scannerDialog(), nullptr);
    }
}

TEST_F(TwainDsmDialog, RequestsOutdatedByDisablingAreClaimedEmpty) {
    ASSERT_EQ(session_.openSource(), TWRC_SUCCESS);
    ASSERT_EQ(session_.enable(true), TWRC_SUCCESS);
    scannerDialog()->findChild<QPushButton*>("cancel")->click();
    const std::vector<win::MSG> posted = session_.window().take();
    ASSERT_EQ(posted.size(), 1u);
    ASSERT_EQ(session_.disable(), TWRC_SUCCESS);
    ASSERT_EQ(session_.enable(true), TWRC_SUCCESS);
    win::MSG stale = posted[0];
    TW_EVENT event{&stale, 0xBEEF};
    EXPECT_EQ(session_.toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_NULL);
}

TEST_F(TwainDsmDialog, AutomaticScanShowsTheDialogAndScansAtOnce) {
    ini_.rewrite(std::string(kIni) + "[VirtualScanner]\nAutoScan=true\n");
    DsmSession session(library_.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    ASSERT_EQ(session.enable(true), TWRC_SUCCESS);
    EXPECT_NE(scannerDialog(), nullptr);
    EXPECT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
}

// Answers the selection dialog once it runs: picks row `row`, or cancels for -1.
void answerSelection(int row, std::vector<QString>* shown) {
    QTimer::singleShot(0, [row, shown] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select Source");
        auto* list = dialog->findChild<QListWidget*>("sources");
        for (int i = 0; i < list->count(); ++i) shown->push_back(list->item(i)->text());
        if (row < 0) {
            dialog->findChild<QPushButton*>("cancel")->click();
        } else {
            list->setCurrentRow(row);
            dialog->findChild<QPushButton*>("select")->click();
        }
    });
}

TEST_F(TwainDsmDialog, SelectionDialogReturnsThePickedIdentity) {
    std::vector<QString> shown;
    answerSelection(1, &shown);
    TW_IDENTITY picked{};
    ASSERT_EQ(session_.toManager(DAT_IDENTITY, MSG_USERSELECT, &picked), TWRC_SUCCESS);
    EXPECT_EQ(shown, (std::vector<QString>{"Brevanto Virtual Scanner", "Second Scanner"}));
    TW_IDENTITY listed{};
    ASSERT_EQ(session_.toManager(DAT_IDENTITY, MSG_GETFIRST, &listed), TWRC_SUCCESS);
    ASSERT_EQ(session_.toManager(DAT_IDENTITY, MSG_GETNEXT, &listed), TWRC_SUCCESS);
    EXPECT_EQ(std::memcmp(&picked, &listed, sizeof picked), 0);
}

TEST_F(TwainDsmDialog, CancellingTheSelectionDialogAnswersCancel) {
    std::vector<QString> shown;
    answerSelection(-1, &shown);
    TW_IDENTITY picked{};
    EXPECT_EQ(session_.toManager(DAT_IDENTITY, MSG_USERSELECT, &picked), TWRC_CANCEL);
    EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
}  // namespace twaindsmtest
