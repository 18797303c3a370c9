#include "window/stop_key.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace window {

StopKey::StopKey(std::function<void()> stop) : stop_(std::move(stop)) {
    QCoreApplication::instance()->installEventFilter(this);
}

StopKey::~StopKey() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
}

bool StopKey::eventFilter(QObject* watched, QEvent* event) {
    // The key press reaches the application once for each object it passes on its way to the
    // focus widget; the first of them stops the output and ends its way there.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12) {
        stop_();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace window
