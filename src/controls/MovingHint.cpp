#include "controls/MovingHint.h"

#include <QToolTip>

TMovingHint::TMovingHint(QWidget *owner) : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(2);
    setWordWrap(true);
    setMaximumWidth(MaxHintWidth);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TMovingHint::ShowAt(const QString &text, const QPoint &globalTopLeft)
{
    setText(text);
    adjustSize();
    move(globalTopLeft);
    show();
}
