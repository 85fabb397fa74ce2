#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

// Lets the event loop run until the condition holds or a generous deadline passes; the
// deadline only keeps a broken test from hanging, a working one never waits for it.
inline bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
