#include "platform/win/qt/QtMessagePump.h"

#include <QCoreApplication>
#include <QEvent>

#include "platform/win/MessageQueue.h"

namespace win {
namespace {

const QEvent::Type kDispatchEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

QtMessagePump::QtMessagePump(QObject* parent) : QObject(parent) {
    // postEvent is thread-safe, so a source manager may post from its own threads.
    SetPostHook([this] { QCoreApplication::postEvent(this, new QEvent(kDispatchEvent)); });
    // Messages posted before the pump existed still get served.
    for (std::size_t i = PostedMessageCount(); i > 0; --i)
        QCoreApplication::postEvent(this, new QEvent(kDispatchEvent));
}

QtMessagePump::~QtMessagePump() { SetPostHook({}); }

bool QtMessagePump::event(QEvent* event) {
    if (event->type() != kDispatchEvent) return QObject::event(event);
    DispatchPostedMessage();
    return true;
}

}  // namespace win
