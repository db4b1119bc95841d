#pragma once

#include "support/EventWaits.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// The first visible top-level window of type T, or null.
template <class T> T *VisibleWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Runs `act` on the first visible window of type T once it shows up (a modal loop of its
// own runs meanwhile); `done` tells whether it did. Keep the timer while waiting.
template <class T> std::shared_ptr<QTimer> WhenShown(std::function<void(T &)> act, bool &done)
{
    auto timer = std::make_shared<QTimer>();
    timer->setInterval(10);
    QObject::connect(timer.get(), &QTimer::timeout, [t = timer.get(), act, &done] {
        if (T *window = VisibleWindow<T>()) {
            t->stop();
            done = true;
            act(*window);
        }
    });
    timer->start();
    return timer;
}
