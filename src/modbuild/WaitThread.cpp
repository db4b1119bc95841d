#include "modbuild/WaitThread.h"

#include "platform/Process.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

TWaitThread::TWaitThread(std::shared_ptr<TProcess> process, QObject *receiver, std::function<void()> onEnded)
    : process_(std::move(process)), receiver_(receiver), onEnded_(std::move(onEnded))
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TWaitThread::run()
{
    uint32_t code = 0;
    while (process_->GetExitCode(code) && code == StillActive)
        QThread::msleep(1);
    // Queued: the receiver's thread runs it from its event loop. A receiver gone
    // meanwhile drops the call instead of running it on a dead object.
    QMetaObject::invokeMethod(receiver_, onEnded_, Qt::QueuedConnection);
}

uint32_t WaitForProcessEnd(const std::shared_ptr<TProcess> &process)
{
    // Without an application object there is no event loop to keep running.
    if (!QCoreApplication::instance())
        return process->Wait();
    QEventLoop loop;
    QPointer<TWaitThread> thread = new TWaitThread(process, &loop, [&loop] { loop.quit(); });
    thread->start();
    loop.exec();
    // The thread has made its last call; it frees itself once finished, which
    // may already have happened while the loop ran.
    if (thread)
        thread->wait();
    uint32_t code = StillActive;
    process->GetExitCode(code);
    return code;
}
