#include "workbench/AppWaiter.h"

#include "controls/PlacementStore.h"
#include "modbuild/WaitThread.h"
#include "platform/Process.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

TAppWaiter::TAppWaiter(std::shared_ptr<TProcess> process, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), process_(std::move(process))
{
    setObjectName("AppWaiter");
    setModal(true);
    // Without a title bar the box needs an edge of its own to stand out.
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Plain);
    Label1 = new QLabel(WaitText, frame);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont font = Label1->font();
    font.setPixelSize(13);
    Label1->setFont(font);
    auto *inner = new QVBoxLayout(frame);
    inner->setContentsMargins(8, 4, 8, 4);
    inner->addWidget(Label1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setFixedSize(267, 60);
}

TAppWaiter::~TAppWaiter()
{
    // The thread's last act is the queued call to this box; it must not
    // outlive the process handle it polls.
    if (thread_)
        thread_->wait();
}

uint32_t TAppWaiter::WaitFor(std::shared_ptr<TProcess> process, QWidget *owner)
{
    auto *box = new TAppWaiter(process, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
    uint32_t code = StillActive;
    process->GetExitCode(code);
    return code;
}

void TAppWaiter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (thread_ || ended_)
        return;
    CentreWindow(this, parentWidget());
    thread_ = new TWaitThread(process_, this, [this] { processEnded(); });
    thread_->start();
}

void TAppWaiter::processEnded()
{
    ended_ = true;
    accept();
}

void TAppWaiter::reject()
{
    // Escape: ModPacker still works on the folder.
    if (ended_)
        QDialog::reject();
}

void TAppWaiter::closeEvent(QCloseEvent *event)
{
    if (!ended_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
