#pragma once

// A logged-in main window over a database and a PDF folder of the test's own, with the virtual
// scanner ready: the first tab's road as a clerk walks it.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "platform/locale/LocalClock.h"

class QListWidget;
class TForm1;

// Settings of a virtual scanner whose small page keeps every PDF check quick (59 x 79 pixels).
extern const std::string kScanner;
// 11/12/2026 09:41:07, and the same minute at another second.
extern const LocalDateTime kMorning;
LocalDateTime at(int second);

// The names in a folder, sorted.
std::vector<std::string> namesIn(const std::filesystem::path& folder);
// The page list's entry texts.
QStringList listed(const QListWidget& list);

class WorkspaceFixture : public AppFixture {
  protected:
    WorkspaceFixture();
    ~WorkspaceFixture() override;

    void SetUp() override;
    void TearDown() override;

    // "Capturar" at that time, and the event loop until the scanner is done.
    void press(const LocalDateTime& time = kMorning);
    // The source manager reads the scanner settings when it is opened: closed, it takes new
    // ones at the next press.
    void closeScanner();
    void scanThreePages();
    // The BMP of the page scanned at that second of kMorning.
    std::string pageBmp(int second) const;
    static std::string jpegOf(const std::string& bmp);
    // "Salvar PDF" for the case, with the type at that index.
    void save(const QString& caseText = QStringLiteral("2024001"), int type = 4);
    // Every row of cadprocessospdf as "case path type", one per line.
    std::string rows();
    std::vector<QString> messageTexts() const;

    QTemporaryDir pdfFolder_;
    std::string folder;
    std::unique_ptr<TForm1> form;
};
