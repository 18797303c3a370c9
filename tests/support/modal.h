// Driving a modal dialog that a command opens and runs in its own event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace testing_support {

// Waits (in the command's event loop) for a modal dialog of type T, runs `act` on it and then
// closes it if `act` left it open, also when an assertion in `act` failed and returned early.
// A dialog that never opens fails the test after `ms` instead of leaving a later one hanging.
// Call before the command; `ran` (if given) tells afterwards whether the dialog was reached.
template <typename T>
void WhenModal(std::function<void(T&)> act, bool* ran = nullptr, int ms = 5000) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    const QDeadlineTimer deadline(ms);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, act = std::move(act), ran] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr && !deadline.hasExpired()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (dialog == nullptr) {
            ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        if (ran != nullptr) {
            *ran = true;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    poll->start();
}

}  // namespace testing_support
