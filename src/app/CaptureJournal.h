#pragma once

#include <QString>

class TCaptureLog;

// The pages this workstation scanned and has not filed yet, kept on disk at every change of the
// page list, so that a program that dies does not lose track of them. Written whole under a
// temporary name and then renamed, so it is always the old list or the new one.
class TCaptureJournal {
  public:
    // The journal file in folder; the default folder is $XDG_STATE_HOME/brevanto-scanner
    // (~/.local/state/brevanto-scanner).
    explicit TCaptureJournal(QString folder = DefaultFolder());
    static QString DefaultFolder();

    const QString& Path() const { return path_; }

    // Keeps the list as it is now; an empty list removes the journal. False when it could not
    // be written (the program goes on: the journal is a safety net, not the record).
    bool Save(const TCaptureLog& log) const;
    // The journaled pages whose BMP and JPEG files are still there, in their order and with
    // their numbers, and the deleted pages whose JPEG is still there. Empty without a journal
    // or with one that cannot be read.
    TCaptureLog Load() const;
    void Forget() const;

  private:
    QString path_;
};
