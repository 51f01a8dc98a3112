#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;
class TmySQLDatabase;

// The small window shown while the program connects to a database server that takes a moment
// (a slow network, a host that does not answer): says where it connects and offers Cancel.
class TfrmConectando final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmConectando)

  public:
    TfrmConectando(QWidget* owner, const QString& host);

    QLabel* lblMensagem;
    QPushButton* btnCancelar;
};

// Opens the connection on a worker thread while the event loop runs; the window comes up when
// connecting takes longer than a blink. False when the user cancelled (the connection, should
// it still come, is closed); the connection's error passes on.
bool ConnectShowingProgress(QWidget* owner, TmySQLDatabase& database);
