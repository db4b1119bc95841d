#include "controls/ImgControl.h"

#include "controls/MovingHint.h"

#include <QPainter>
#include <cstdlib>

namespace {

int Sign(int64_t v)
{
    return (v > 0) - (v < 0);
}

int32_t Clamp(int64_t v, int32_t lo, int32_t hi)
{
    return int32_t(v < lo ? lo : v > hi ? hi : v);
}

} // namespace

TImgControl::TImgControl(QWidget *parent) : TImgControlBase(parent) {}

TImgControl::~TImgControl() = default;

TFrameImage *TImgControl::FrameImage() const
{
    return dynamic_cast<TFrameImage *>(Image());
}

int TImgControl::FrameIndex() const
{
    const TFrameImage *image = FrameImage();
    if (!image)
        return -1;
    // In doubles: Max - Min + 1 overflows 32 bits for the widest ranges.
    const double span = double(Max()) - double(Min()) + 1.0;
    return int((double(Position()) - double(Min())) / span * image->Count());
}

void TImgControl::PositionChanged()
{
    if (FrameIndex() != lastDrawnFrame_)
        update();
    if (hint_ && hint_->isVisible())
        showMovingHint();
}

void TImgControl::ScrollTo(int32_t position)
{
    if (OnScroll)
        OnScroll(this, position);
    SetPosition(position);
}

void TImgControl::SetAutoSize(bool on)
{
    autoSize_ = on;
    adjustToImage();
}

void TImgControl::adjustToImage()
{
    const TFrameImage *image = FrameImage();
    // A strip that has no frame size yet leaves the control as it is.
    if (autoSize_ && image && image->Width() > 0 && image->Height() > 0)
        resize(image->Width(), image->Height());
}

void TImgControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TFrameImage *image = FrameImage();
    const int frame = FrameIndex();
    ++paintCount_;
    lastDrawnFrame_ = frame;
    if (!image) {
        eraseBackground(painter);
        return;
    }
    if (image->DrawsEmpty())
        eraseBackground(painter);
    painter.setPen(palette().windowText().color());
    image->Draw(painter, frame, rect());
}

bool TImgControl::isButton() const
{
    const TFrameImage *image = FrameImage();
    return image && image->Button;
}

bool TImgControl::overFrame(const QPoint &point) const
{
    const TFrameImage *image = FrameImage();
    if (!image)
        return false;
    return point.x() >= 0 && point.x() < image->Width() && point.y() >= 0 && point.y() < image->Height();
}

// Pressed while the pointer is on the button; a toggle shows the state it would flip to.
void TImgControl::pressTracking(const QPoint &point)
{
    const bool twoState = FrameImage()->TwoState;
    const bool inside = overFrame(point);
    // The flipped state of a toggle is Max + Min - start, which is Max - start for the
    // usual range starting at 0; the threshold is the middle of the range.
    const int64_t flipped = int64_t(Max()) + Min() - startPosition_;
    int64_t candidate;
    if (inside)
        candidate = twoState ? flipped : Max();
    else
        candidate = twoState ? startPosition_ : Min();
    const int64_t middle = int64_t(Min()) + (int64_t(Max()) - Min()) / 2;
    const int32_t target = candidate > middle ? Max() : Min();
    if (target != Position())
        ScrollTo(target);
}

void TImgControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &point)
{
    if (!AllowUserControl || button != Qt::LeftButton)
        return;
    startPosition_ = Position();
    if (isButton()) {
        pressTracking(point);
    } else {
        lastX_ = point.x();
        lastY_ = point.y();
        fine_ = modifiers.testFlag(Qt::ShiftModifier);
    }
    dragging_ = true;
    if (ShowScrollHint)
        showMovingHint();
}

void TImgControl::MouseMove(Qt::KeyboardModifiers modifiers, const QPoint &point)
{
    if (!AllowUserControl || !dragging_)
        return;
    if (isButton()) {
        pressTracking(point);
        return;
    }
    int64_t d = Kind == sbVertical ? lastY_ - point.y() : point.x() - lastX_;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        fine_ = true;
        d /= 6;
    } else if (fine_) {
        d = Sign(d);
        fine_ = false;
    }
    if (d == 0)
        return;
    int64_t e = d * SmallChange;
    if (!fine_ && SmallChange != 0) {
        if (Position() == MiddlePos) {
            // The detent holds until the drag goes further than MiddleSnap.
            e = std::llabs(d) > MiddleSnap ? (d - Sign(d) * MiddleSnap) * SmallChange : 0;
        } else {
            const int64_t next = int64_t(Position()) + e;
            const bool reaches = (Position() < MiddlePos && next >= MiddlePos) ||
                                 (Position() > MiddlePos && next <= MiddlePos);
            if (reaches && std::llabs((next - MiddlePos) / SmallChange) <= MiddleSnap) {
                ScrollTo(MiddlePos);
                e = 0;
            }
        }
    }
    if (e != 0) {
        // Only a real step moves the reference point, so slow drags add up.
        lastX_ = point.x();
        lastY_ = point.y();
        ScrollTo(Clamp(int64_t(Position()) + e, Min(), Max()));
    }
}

void TImgControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &point)
{
    if (button != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    if (hint_)
        hint_->hide();
    if (!AllowUserControl || !isButton())
        return;
    if (FrameImage()->TwoState)
        pressTracking(point);
    else
        ScrollTo(Min());
    if (overFrame(point) && OnButtonClick)
        OnButtonClick(this);
}

void TImgControl::showMovingHint()
{
    QString text = QString::number(Position());
    if (OnGetScrollHint)
        OnGetScrollHint(this, text);
    // Made on first use: the preview has hundreds of controls and never shows the hint.
    if (!hint_)
        hint_ = new TMovingHint(this);
    hint_->ShowAt(text, mapToGlobal(QPoint(width() + 2, 0)));
}
