#include "controls/SliderControl.h"

#include <QPainter>
#include <cmath>

TSliderControl::TSliderControl(QWidget *parent) : TImgControlBase(parent) {}

TSliderControl::~TSliderControl()
{
    if (thumb_)
        thumb_->UnregisterClient(this);
}

void TSliderControl::PositionChanged()
{
    if (ThumbOffset() != lastDrawnOffset_)
        update();
}

void TSliderControl::ScrollTo(int64_t position)
{
    int32_t value = int32_t(position < Min() ? Min() : position > Max() ? Max() : position);
    if (OnScroll)
        OnScroll(this, value);
    SetPosition(value);
}

void TSliderControl::SetThumbImage(TSharedImage *image)
{
    if (image == thumb_)
        return;
    TSharedImage *previous = thumb_;
    thumb_ = image;
    if (previous)
        previous->UnregisterClient(this);
    if (thumb_)
        thumb_->RegisterClient(this);
    update();
}

void TSliderControl::thumbMoved()
{
    update();
}

void TSliderControl::SetThumbOffsetX(int x)
{
    offsetX_ = x;
    thumbMoved();
}

void TSliderControl::SetThumbOffsetY(int y)
{
    offsetY_ = y;
    thumbMoved();
}

void TSliderControl::SetThumbRange(int pixels)
{
    range_ = pixels < 1 ? 1 : pixels;
    thumbMoved();
}

int TSliderControl::ThumbOffset() const
{
    if (!thumb_ || range_ <= 0)
        return -1;
    const double fraction = (double(Position()) - double(Min())) / (double(Max()) - double(Min()) + 1.0);
    // The minimum is at the bottom of a vertical slider.
    if (Kind == sbVertical)
        return range_ + int(-fraction * range_);
    return int(fraction * range_);
}

QRect TSliderControl::ThumbRect() const
{
    const int p = ThumbOffset();
    if (p < 0)
        return {};
    const QSize size(thumb_->Width(), thumb_->Height());
    if (Kind == sbVertical)
        return QRect(QPoint(offsetX_, offsetY_ + p), size);
    return QRect(QPoint(offsetX_ + p, offsetY_), size);
}

int64_t TSliderControl::PointToPosition(const QPoint &point) const
{
    const double span = double(Max()) - double(Min()) + 1.0;
    const int thumbWidth = thumb_ ? thumb_->Width() : 0;
    const int thumbHeight = thumb_ ? thumb_->Height() : 0;
    double value;
    if (Kind == sbVertical)
        value = span * double(thumbHeight / 2 + offsetY_ + range_ - point.y()) / range_ + Min();
    else
        value = double(point.x() - thumbWidth / 2 - offsetX_) * span / range_ + Min();
    // To nearest, ties to even (the default rounding mode).
    return int64_t(std::nearbyint(value));
}

void TSliderControl::ImageChanged(TSharedImage *)
{
    adjustToImage();
    update();
}

void TSliderControl::ImageDestroyed(TSharedImage *image)
{
    if (thumb_ == image)
        thumb_ = nullptr;
    TImgControlBase::ImageDestroyed(image);
}

void TSliderControl::adjustToImage()
{
    const TSharedImage *track = Image();
    if (track && track->Width() > 0 && track->Height() > 0)
        resize(track->Width(), track->Height());
}

void TSliderControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ++paintCount_;
    painter.setPen(palette().windowText().color());
    const TSharedImage *track = Image();
    if (!track || track->DrawsEmpty())
        eraseBackground(painter);
    if (track)
        track->Draw(painter, 0, rect());
    lastDrawnOffset_ = ThumbOffset();
    const QRect thumb = ThumbRect();
    if (!thumb.isEmpty())
        thumb_->Draw(painter, 0, thumb);
}

void TSliderControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &point)
{
    if (!AllowUserControl || button != Qt::LeftButton)
        return;
    QRect thumb = ThumbRect();
    if (!thumb.isEmpty() && !thumb.contains(point)) {
        ScrollTo(PointToPosition(point));
        thumb = ThumbRect();
    }
    // Bounds inclusive: the pixel right of and below the thumb still grabs it.
    const bool inside = !thumb.isEmpty() && point.x() >= thumb.left() &&
                        point.x() <= thumb.left() + thumb.width() && point.y() >= thumb.top() &&
                        point.y() <= thumb.top() + thumb.height();
    if (!inside)
        return;
    const QPoint centre = thumb.topLeft() + QPoint(thumb.width() / 2, thumb.height() / 2);
    grabX_ = Kind == sbHorizontal ? centre.x() - point.x() : 0;
    grabY_ = Kind == sbVertical ? centre.y() - point.y() : 0;
    startPosition_ = Position();
    dragging_ = true;
}

void TSliderControl::MouseMove(Qt::KeyboardModifiers, const QPoint &point)
{
    if (!AllowUserControl || !dragging_)
        return;
    ScrollTo(PointToPosition(point + QPoint(grabX_, grabY_)));
}

void TSliderControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &)
{
    if (button == Qt::LeftButton)
        dragging_ = false;
}
