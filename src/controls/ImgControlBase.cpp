#include "controls/ImgControlBase.h"

#include "controls/SharedImage.h"

#include <QMouseEvent>
#include <QPainter>

TImgControlBase::TImgControlBase(QWidget *parent) : QWidget(parent)
{
    resize(47, 47);
    setFocusPolicy(Qt::NoFocus);
}

void TImgControlBase::SetPosition(int32_t position)
{
    position = position < min_ ? min_ : position > max_ ? max_ : position;
    if (position == position_)
        return;
    position_ = position;
    PositionChanged();
    if (OnChange)
        OnChange();
}

void TImgControlBase::SetMin(int32_t value)
{
    min_ = value;
    if (max_ < min_)
        max_ = min_;
    SetPosition(position_);
    update();
}

void TImgControlBase::SetMax(int32_t value)
{
    max_ = value < min_ ? min_ : value;
    SetPosition(position_);
    update();
}

TImgControlBase::~TImgControlBase()
{
    if (image_)
        image_->UnregisterClient(this);
}

void TImgControlBase::SetImage(TSharedImage *image)
{
    if (image == image_)
        return;
    TSharedImage *previous = image_;
    image_ = image;
    if (previous)
        previous->UnregisterClient(this);
    if (image_)
        image_->RegisterClient(this);
    else
        ImageChanged(nullptr);
}

void TImgControlBase::ImageChanged(TSharedImage *)
{
    adjustToImage();
    update();
}

void TImgControlBase::ImageDestroyed(TSharedImage *image)
{
    if (image_ == image)
        image_ = nullptr;
    update();
}

void TImgControlBase::eraseBackground(QPainter &painter)
{
    painter.fillRect(rect(), palette().window());
}

void TImgControlBase::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!captured_) {
        // The toolkit routes every move to this control until the button is released.
        captured_ = true;
        captureButton_ = event->button();
    }
    MouseDown(event->button(), event->modifiers(), point);
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), point);
    event->accept();
}

void TImgControlBase::mouseMoveEvent(QMouseEvent *event)
{
    if (captured_)
        MouseMove(event->modifiers(), event->position().toPoint());
    event->accept();
}

void TImgControlBase::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (captured_ && event->button() == captureButton_)
        captured_ = false;
    MouseUp(event->button(), event->modifiers(), point);
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), point);
    event->accept();
}
