#include "controls/SharedImage.h"

#include "controls/ImgControlBase.h"

#include <QPainter>
#include <algorithm>

TSharedImage::~TSharedImage()
{
    const std::vector<TImgControlBase *> clients = clients_;
    clients_.clear();
    for (TImgControlBase *client : clients)
        client->ImageDestroyed(this);
}

void TSharedImage::SetBitmap(const QImage &image)
{
    bitmap_ = image;
    Changed();
}

void TSharedImage::ClearBitmap()
{
    bitmap_ = QImage();
    Changed();
}

void TSharedImage::SetEmptySize(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    Changed();
}

void TSharedImage::SetAlwaysDisplayEmpty(bool on)
{
    if (alwaysDisplayEmpty_ == on)
        return;
    alwaysDisplayEmpty_ = on;
    Changed();
}

void TSharedImage::RegisterClient(TImgControlBase *control)
{
    if (!control || std::find(clients_.begin(), clients_.end(), control) != clients_.end())
        return;
    clients_.push_back(control);
    control->ImageChanged(this);
}

void TSharedImage::UnregisterClient(TImgControlBase *control)
{
    const auto it = std::find(clients_.begin(), clients_.end(), control);
    if (it == clients_.end())
        return;
    clients_.erase(it);
    control->ImageChanged(this);
}

void TSharedImage::updateSizes()
{
    if (bitmap_.isNull())
        return;
    width_ = bitmap_.width();
    height_ = bitmap_.height();
}

void TSharedImage::Changed()
{
    updateSizes();
    if (OnChange)
        OnChange();
    // A client may unregister itself while refreshing.
    const std::vector<TImgControlBase *> clients = clients_;
    for (TImgControlBase *client : clients)
        if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
            client->ImageChanged(this);
}

void TSharedImage::drawPart(QPainter &painter, const QRect &source, const QRect &target) const
{
    // A picture of the wrong size may not cover the frame: copy only what exists.
    const QRect part = source.intersected(bitmap_.rect());
    if (part.isEmpty())
        return;
    painter.drawImage(target.topLeft() + (part.topLeft() - source.topLeft()), bitmap_, part);
}

void TSharedImage::Draw(QPainter &painter, int, const QRect &target) const
{
    if (DrawsEmpty()) {
        DrawEmptyMark(painter, target);
        return;
    }
    drawPart(painter, QRect(QPoint(0, 0), target.size()), target);
}

void DrawEmptyMark(QPainter &painter, const QRect &target)
{
    const int x = target.x(), y = target.y(), w = target.width(), h = target.height();
    painter.drawLine(x, y, x + w, y + h);
    painter.drawLine(x, y + h, x + w, y);
}
