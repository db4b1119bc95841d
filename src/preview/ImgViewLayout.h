#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The image viewer's geometry, apart from any widget so that it can be checked
// exactly. "Client" is the window's inner area; the toolbar sits on top of it and
// the status bar at its bottom; the image area is what lies between.

// Natural size: the image centred in the image area, never above or left of it.
// A scroll bar takes its room from the centring when the image overflows the
// other direction.
QPoint CentredImagePosition(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image,
                            int vScrollWidth, int hScrollHeight);

// Stretch mode: the image scaled into the image area keeping its proportions
// (never enlarged beyond its own width), centred; in client coordinates.
QRect StretchedImageRect(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image);

// AutoSize mode: the window's outer rectangle that shows the image whole.
struct TFitInput {
    QRect frame; // the window's outer rectangle now
    QSize extra; // outer size less the image area
    QSize image;
    int screenWidth = 0;
    int workAreaHeight = 0;
    int minimumWidth = 0; // the outer width that shows every toolbar button
    int vScrollWidth = 0;
    int hScrollHeight = 0;
};
// A window fitted to a narrow image keeps its whole toolbar: it is never
// narrower than `minimumWidth`, the toolbar's own width with the frame.
QRect FitWindowToImage(const TFitInput &in);

// Whether the image is larger than the image area (it can then be dragged).
bool ImageExceedsArea(const QSize &client, int toolbarHeight, int statusHeight, const QSize &image);
