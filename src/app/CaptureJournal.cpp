#include "app/CaptureJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "app/CaptureLog.h"
#include "app/PageFiles.h"

namespace {

bool exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }

}  // namespace

TCaptureJournal::TCaptureJournal(QString folder)
    : path_(QDir(folder).filePath(QStringLiteral("paginas-nao-salvas.json"))) {}

QString TCaptureJournal::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/brevanto-scanner");
}

bool TCaptureJournal::Save(const TCaptureLog& log) const {
    if (log.Empty() && log.Deleted().empty()) {
        Forget();
        return true;
    }
    QJsonArray pages;
    for (const TCaptureLog::Entry& entry : log.Entries())
        pages.append(QJsonObject{{QStringLiteral("numero"), entry.Number},
                                 {QStringLiteral("bmp"), QString::fromStdString(entry.BmpPath)}});
    QJsonArray deleted;
    for (const std::string& bmp : log.Deleted()) deleted.append(QString::fromStdString(bmp));
    const QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("paginas"), pages},
                                                      {QStringLiteral("excluidas"), deleted}})
                                .toJson();
    if (!QDir().mkpath(QFileInfo(path_).path())) return false;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

TCaptureLog TCaptureJournal::Load() const {
    TCaptureLog log;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return log;
    const QJsonObject journal = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue& value : journal.value(QStringLiteral("paginas")).toArray()) {
        const QJsonObject page = value.toObject();
        const std::string bmp = page.value(QStringLiteral("bmp")).toString().toStdString();
        const int number = page.value(QStringLiteral("numero")).toInt();
        if (bmp.empty() || number <= 0 || !exists(bmp) || !exists(PageJpegPath(bmp))) continue;
        log.Restore(number, bmp);
    }
    for (const QJsonValue& value : journal.value(QStringLiteral("excluidas")).toArray()) {
        const std::string bmp = value.toString().toStdString();
        if (!bmp.empty() && exists(PageJpegPath(bmp))) log.RestoreDeleted(bmp);
    }
    return log;
}

void TCaptureJournal::Forget() const { QFile::remove(path_); }
