#include "controls/FrameImage.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

void TFrameImage::SetCount(int count)
{
    count_ = std::max(0, count);
    Changed();
}

void TFrameImage::SetWidth(int width)
{
    width = std::max(0, width);
    if (!bitmap_.isNull() && orientation_ == sbHorizontal)
        count_ = width + separator_ > 0 ? (bitmap_.width() + separator_) / (width + separator_) : 0;
    else
        frameWidth_ = width;
    Changed();
}

void TFrameImage::SetHeight(int height)
{
    height = std::max(0, height);
    if (!bitmap_.isNull() && orientation_ == sbVertical)
        count_ = height + separator_ > 0 ? (bitmap_.height() + separator_) / (height + separator_) : 0;
    else
        frameHeight_ = height;
    Changed();
}

void TFrameImage::SetOrientation(TScrollBarKind orientation)
{
    orientation_ = orientation;
    Changed();
}

void TFrameImage::SetSeparatorSize(int pixels)
{
    separator_ = std::max(0, pixels);
    Changed();
}

void TFrameImage::updateSizes()
{
    if (bitmap_.isNull())
        return;
    const int bw = bitmap_.width(), bh = bitmap_.height();
    if (count_ < 1) {
        frameWidth_ = std::min(frameWidth_, bw);
        frameHeight_ = std::min(frameHeight_, bh);
    } else if (orientation_ == sbHorizontal) {
        frameWidth_ = std::max(0, (bw + separator_) / count_ - separator_);
        frameHeight_ = bh;
    } else {
        frameHeight_ = std::max(0, (bh + separator_) / count_ - separator_);
        frameWidth_ = bw;
    }
}

QRect TFrameImage::FrameRect(int frame) const
{
    if (orientation_ == sbHorizontal)
        return QRect(frame * (frameWidth_ + separator_), 0, frameWidth_, frameHeight_);
    return QRect(0, frame * (frameHeight_ + separator_), frameWidth_, frameHeight_);
}

bool TFrameImage::DrawsEmpty() const
{
    return TSharedImage::DrawsEmpty() || count_ == 0 || frameWidth_ < 1 || frameHeight_ < 1;
}

void TFrameImage::Draw(QPainter &painter, int frame, const QRect &target) const
{
    if (DrawsEmpty() || frame < 0) {
        DrawEmptyMark(painter, target);
        return;
    }
    const QRect f = FrameRect(std::min(frame, count_ - 1));
    drawPart(painter, QRect(f.topLeft(), target.size()), target);
}
