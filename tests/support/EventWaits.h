#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

// Runs the event loop until the condition holds or Ms milliseconds passed; whether it holds.
inline bool WaitUntil(const std::function<bool()> &condition, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
