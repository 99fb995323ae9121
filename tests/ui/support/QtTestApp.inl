#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace uitest {

template <class Predicate>
bool PumpUntil(Predicate done, int limitMs) {
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace uitest
