#include "preview/ImgViewLayout.h"

#include <algorithm>
#include <cmath>

QPoint CentredImagePosition(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image,
                            int vScrollWidth, int hScrollHeight)
{
    const int areaHeight = client.height() - toolbarHeight - statusHeight;
    const int hBar = client.width() < image.width() ? hScrollHeight : 0;
    const int vBar = areaHeight < image.height() ? vScrollWidth : 0;
    const int top = std::max(0, (areaHeight - hBar) / 2 - image.height() / 2);
    const int left = std::max(0, (client.width() - vBar) / 2 - image.width() / 2);
    return {left, top};
}

QRect StretchedImageRect(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image)
{
    if (image.isEmpty())
        return {};
    const int available = client.height() - toolbarHeight - statusHeight;
    const int width = client.width();
    int h = width < image.width() ? int(std::lround(double(image.height()) / image.width() * width))
                                  : image.height();
    int w;
    if (available < h) {
        w = int(std::lround(double(image.width()) / image.height() * available));
        h = available;
    } else {
        w = std::min(width, image.width());
    }
    const int top = std::max(toolbarHeight, available / 2 + toolbarHeight - h / 2);
    const int left = std::max(0, width / 2 - w / 2);
    return {left, top, std::max(0, w), std::max(0, h)};
}

QRect FitWindowToImage(const TFitInput &in)
{
    int imageHeight = in.image.height();
    int width = in.image.width() + in.extra.width();
    if (width > in.screenWidth) {
        width = in.screenWidth;
        imageHeight += in.hScrollHeight;
    } else if (width < in.minimumWidth) {
        // The toolbar would be cut, and its buttons would go into an overflow menu.
        width = in.minimumWidth;
    }
    int left = in.frame.left();
    if (left + width > in.screenWidth)
        left = in.screenWidth - width;
    int height = imageHeight + in.extra.height();
    if (height > in.workAreaHeight) {
        width += in.vScrollWidth;
        height = in.workAreaHeight;
    }
    int top = in.frame.top();
    if (top + height > in.workAreaHeight)
        top = in.workAreaHeight - height;
    return {left, top, width, height};
}

bool ImageExceedsArea(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image)
{
    return image.width() > client.width() || image.height() > client.height() - toolbarHeight - statusHeight;
}
