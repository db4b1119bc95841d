#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QThread>

// Shows the hourglass pointer for the lifetime of the object, and restores it
// on every way out. Does nothing off the UI thread or without a GUI application
// (command line, worker threads), so logic can use it freely.
class TBusyCursor {
public:
    TBusyCursor()
        : active_(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
                  QThread::currentThread() == QCoreApplication::instance()->thread())
    {
        if (active_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TBusyCursor()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;

private:
    bool active_;
};
