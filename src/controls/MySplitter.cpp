#include "controls/MySplitter.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSplitterHandle>

namespace {

// Reports the end of a drag, which QSplitter itself does not.
class TMySplitterHandle : public QSplitterHandle {
public:
    TMySplitterHandle(Qt::Orientation orientation, TMySplitter *parent)
        : QSplitterHandle(orientation, parent), owner_(parent)
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        dragging_ = event->button() == Qt::LeftButton;
        QSplitterHandle::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QSplitterHandle::mouseReleaseEvent(event);
        if (dragging_ && event->button() == Qt::LeftButton) {
            dragging_ = false;
            emit owner_->Moved();
        }
    }

private:
    TMySplitter *owner_;
    bool dragging_ = false;
};

} // namespace

TMySplitter::TMySplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    setChildrenCollapsible(false);
    setHandleWidth(4);
    SetResizeWhileDrag(true);
    // A drag by the user replaces any size still waiting to be applied.
    connect(this, &QSplitter::splitterMoved, this, [this] { pendingFirst_ = -1; });
}

void TMySplitter::SetMinSize(int pixels)
{
    minSize_ = qMax(0, pixels);
    applyMinSize();
}

QSplitterHandle *TMySplitter::createHandle()
{
    return new TMySplitterHandle(orientation(), this);
}

void TMySplitter::childEvent(QChildEvent *event)
{
    QSplitter::childEvent(event);
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
        applyMinSize();
}

void TMySplitter::applyMinSize()
{
    // An explicit minimum overrides the panes' own size hints in the splitter's
    // limits, so MinSize is exactly where a drag stops on either side.
    const int minimum = qMax(1, minSize_);
    for (int i = 0; i < count(); ++i) {
        QWidget *pane = widget(i);
        if (orientation() == Qt::Horizontal)
            pane->setMinimumWidth(minimum);
        else
            pane->setMinimumHeight(minimum);
    }
}

int TMySplitter::FirstSize() const
{
    if (pendingFirst_ >= 0)
        return qMax(qMax(1, minSize_), pendingFirst_);
    const QList<int> s = sizes();
    return s.isEmpty() ? 0 : s.first();
}

void TMySplitter::SetFirstSize(int pixels)
{
    pendingFirst_ = qMax(0, pixels);
    applyFirstSize();
    if (isVisible())
        pendingFirst_ = -1;
}

void TMySplitter::applyFirstSize()
{
    if (count() < 2 || pendingFirst_ < 0)
        return;
    const int minimum = qMax(1, minSize_);
    const int extent = orientation() == Qt::Horizontal ? width() : height();
    const int total = extent - handleWidth() * (count() - 1);
    QList<int> s(count(), 0);
    s[0] = qMax(minimum, pendingFirst_);
    s[1] = qMax(minimum, total - s[0]);
    setSizes(s);
}

void TMySplitter::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    applyFirstSize();
}

void TMySplitter::showEvent(QShowEvent *event)
{
    QSplitter::showEvent(event);
    applyFirstSize();
    pendingFirst_ = -1;
}
