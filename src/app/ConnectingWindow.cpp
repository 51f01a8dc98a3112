#include "app/ConnectingWindow.h"

#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "db/TmySQLDatabase.h"

namespace {

constexpr int kShowAfterMs = 400;
constexpr int kPollMs = 20;

// What the worker hands back; shared, because a cancelled window does not wait for it.
struct Attempt {
    std::mutex lock;
    bool done = false;
    bool abandoned = false;
    TmySQLDatabase::THandle handle;
    std::exception_ptr error;
};

}  // namespace

TfrmConectando::TfrmConectando(QWidget* owner, const QString& host) : QDialog(owner) {
    setObjectName(QStringLiteral("frmConectando"));
    setWindowTitle(QStringLiteral("Brevanto - Scanner"));
    lblMensagem = new QLabel(QStringLiteral("Conectando ao banco de dados %1…").arg(host), this);
    lblMensagem->setObjectName(QStringLiteral("lblMensagem"));
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMensagem);
    layout->addWidget(btnCancelar, 0, Qt::AlignHCenter);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

bool ConnectShowingProgress(QWidget* owner, TmySQLDatabase& database) {
    if (database.Connected()) return true;
    auto attempt = std::make_shared<Attempt>();
    std::thread([attempt, settings = database.Settings()] {
        TmySQLDatabase::THandle handle;
        std::exception_ptr error;
        try {
            handle = TmySQLDatabase::Connect(settings);
        } catch (...) {
            error = std::current_exception();
        }
        const std::lock_guard<std::mutex> guard(attempt->lock);
        attempt->done = true;
        // Nobody waits any more: the connection closes here.
        if (attempt->abandoned) return;
        attempt->handle = std::move(handle);
        attempt->error = error;
    }).detach();

    TfrmConectando window(owner,
                          QString::fromStdString(TmySQLDatabase::ShownHost(database.Host())));
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&window, &QDialog::rejected, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QTimer show;
    show.setSingleShot(true);
    QObject::connect(&show, &QTimer::timeout, &window, [&] { window.open(); });
    show.start(kShowAfterMs);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const std::lock_guard<std::mutex> guard(attempt->lock);
        if (attempt->done) loop.quit();
    });
    poll.start(kPollMs);
    loop.exec();

    const std::lock_guard<std::mutex> guard(attempt->lock);
    if (cancelled && !attempt->done) {
        attempt->abandoned = true;
        return false;
    }
    if (attempt->error) std::rethrow_exception(attempt->error);
    database.Adopt(std::move(attempt->handle));
    return true;
}
