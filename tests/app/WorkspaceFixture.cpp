#include "WorkspaceFixture.h"

#include <algorithm>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/TForm1.h"
#include "app/TfrmLogin2.h"
#include "pdf/PdfClasses.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace fs = std::filesystem;

const std::string kScanner =
    "[SourceManager]\nAutoSelect=default\nVirtualScanner=true\n"
    "[VirtualScanner]\nAutoScan=true\nPageWidthMm=30\nPageHeightMm=40\nResolution=50\n";

const LocalDateTime kMorning{2026, 12, 11, 9, 41, 7, 0};

LocalDateTime at(int second) {
    LocalDateTime time = kMorning;
    time.Second = second;
    return time;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QStringList listed(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
    return texts;
}

WorkspaceFixture::WorkspaceFixture() = default;

WorkspaceFixture::~WorkspaceFixture() = default;

void WorkspaceFixture::SetUp() {
    RegisterPdfClasses();
    folder = pdfFolder_.path().toStdString();
    db.Exec(
        "insert into cadusuario (login, senha) values ('Maria', 'segredo');\n"
        "insert into cadprocessos (CodProcesso, cliente) values (2024001, 'Ana Souza');\n"
        "insert into cadparametos (dirpdf) values ('" +
        folder + "');");
    configureBesideProgram();
    writeTwainSettings(kScanner);
    startProgram();
}

void WorkspaceFixture::startProgram() {
    form.reset();
    form = startLoggedIn();
    ASSERT_TRUE(form->isEnabled());
}

void WorkspaceFixture::TearDown() { LocalClock::Release(); }

void WorkspaceFixture::press(const LocalDateTime& time) {
    LocalClock::Fix(time);
    form->GoAcquire->click();
    for (int round = 0; round < 20000; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        bool busy = false;
        for (int i = 0; i < form->Twain->SourceCount(); ++i)
            if (twain::TTwainSource* source = form->Twain->Sources(i))
                busy = busy || source->Enabled();
        if (!busy) break;
    }
}

void WorkspaceFixture::closeScanner() { form->Twain->SetSourceManagerLoaded(false); }

void WorkspaceFixture::scanThreePages() {
    for (int second = 1; second <= 3; ++second) press(at(second));
    ASSERT_EQ(form->Listbox1->count(), 3);
}

std::string WorkspaceFixture::pageBmp(int second) const {
    return folder + "/" + "1112202609" + (second < 10 ? "0" : "") + std::to_string(second) + ".bmp";
}

std::string WorkspaceFixture::jpegOf(const std::string& bmp) {
    return fs::path(bmp).replace_extension(".jpg").string();
}

void WorkspaceFixture::save(const QString& caseText, int type) {
    form->edtProcesso->setText(caseText);
    form->cbTipo->setCurrentIndex(type);
    form->btnSAlvar->click();
}

std::string WorkspaceFixture::rows() {
    return db.Scalar(
        "select coalesce(group_concat(concat(codprocesso, ' ', caminho, ' ', tipo) order by "
        "codpdf separator '\\n'), '') from cadprocessospdf");
}

std::vector<QString> WorkspaceFixture::messageTexts() const {
    std::vector<QString> texts;
    for (const TMessage& m : boxes.Messages()) texts.push_back(m.Text);
    return texts;
}
