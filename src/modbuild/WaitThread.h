#pragma once

#include <QThread>
#include <functional>
#include <memory>

class TProcess;

// Waits for a started program to end without blocking the user-interface
// thread: it asks for the process status every millisecond and, once the
// process has ended (or its status cannot be read any more), hands `onEnded`
// to the thread of `receiver` as a queued call, then ends. It frees itself when
// it has finished. The process handle is shared, so it outlives the thread.
class TWaitThread : public QThread {
    Q_OBJECT
public:
    TWaitThread(std::shared_ptr<TProcess> process, QObject *receiver, std::function<void()> onEnded);

protected:
    void run() override;

private:
    std::shared_ptr<TProcess> process_;
    QObject *receiver_;
    std::function<void()> onEnded_;
};

// Starts a TWaitThread and runs a local event loop on this thread until the
// process has ended (the modal loop of the waiting box, without the box).
// Returns the exit code; StillActive when the status could not be read.
// Without a QCoreApplication it simply blocks until the process has ended.
uint32_t WaitForProcessEnd(const std::shared_ptr<TProcess> &process);
