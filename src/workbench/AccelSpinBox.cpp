#include "workbench/AccelSpinBox.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

qint64 SteadyMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

} // namespace

TAccelSpinBox::TAccelSpinBox(QWidget *parent) : QSpinBox(parent), clock(SteadyMs)
{
    // Qt's own acceleration would fight ours.
    setAccelerated(false);
}

int TAccelSpinBox::StepAfter(qint64 heldMs)
{
    if (heldMs >= 5000)
        return 10;
    if (heldMs >= 2000)
        return 5;
    return 1;
}

void TAccelSpinBox::startHold()
{
    held_ = true;
    holdStart_ = clock();
}

void TAccelSpinBox::stepBy(int steps)
{
    const int size = held_ ? StepAfter(clock() - holdStart_) : 1;
    QSpinBox::stepBy(steps * size);
}

void TAccelSpinBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        startHold();
    QSpinBox::mousePressEvent(event);
}

void TAccelSpinBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        held_ = false;
    QSpinBox::mouseReleaseEvent(event);
}

void TAccelSpinBox::keyPressEvent(QKeyEvent *event)
{
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    // A held key repeats its press; only the first one starts the hold.
    if (arrow && !event->isAutoRepeat())
        startHold();
    QSpinBox::keyPressEvent(event);
}

void TAccelSpinBox::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        held_ = false;
    QSpinBox::keyReleaseEvent(event);
}

void TAccelSpinBox::focusOutEvent(QFocusEvent *event)
{
    held_ = false;
    QSpinBox::focusOutEvent(event);
    // Whatever is typed, leaving the field shows the value it holds.
    lineEdit()->setText(textFromValue(value()));
}
