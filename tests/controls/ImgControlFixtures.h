#pragma once

// Helpers of the image control tests: strips whose frames each have their own colour,
// mouse events sent straight to a control, and a shown parent for paint counting.

#include "controls/ImgControlBase.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

// The colour of frame N of a test strip; separators are pure magenta.
inline QColor FrameColour(int n)
{
    return QColor::fromHsv((n * 37) % 360, 200, 150 + (n * 13) % 100);
}
inline const QColor SeparatorColour(255, 0, 255);

// A strip of Count frames of W x H pixels with Separator magenta pixels between them.
inline QImage MakeStrip(int count, int w, int h, int separator, bool vertical = false)
{
    const int length = count * (vertical ? h : w) + (count - 1) * separator;
    QImage image(vertical ? w : length, vertical ? length : h, QImage::Format_RGB32);
    image.fill(SeparatorColour);
    QPainter p(&image);
    for (int n = 0; n < count; ++n) {
        const int at = n * ((vertical ? h : w) + separator);
        p.fillRect(vertical ? QRect(0, at, w, h) : QRect(at, 0, w, h), FrameColour(n));
    }
    return image;
}

inline void SendMouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(w, &event);
}
inline void Press(QWidget *w, QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {})
{
    SendMouse(w, QEvent::MouseButtonPress, at, b, m);
}
inline void Move(QWidget *w, QPoint at, Qt::KeyboardModifiers m = {})
{
    SendMouse(w, QEvent::MouseMove, at, Qt::LeftButton, m);
}
inline void Release(QWidget *w, QPoint at, Qt::MouseButton b = Qt::LeftButton)
{
    SendMouse(w, QEvent::MouseButtonRelease, at, b);
}

// The control's own drawing (background included).
inline QImage Shot(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether the picture shows the crossed-out rectangle: dark pixels near all four corners
// and the centre (the diagonals) and none in the middle of the top and left edges.
inline bool ShowsEmptyMark(const QImage &shot)
{
    const int w = shot.width(), h = shot.height();
    const auto dark = [&](int x, int y) { return qGray(shot.pixel(x, y)) < 80; };
    const auto darkNear = [&](int cx, int cy) {
        for (int y = std::max(0, cy - 2); y <= std::min(h - 1, cy + 2); ++y)
            for (int x = std::max(0, cx - 2); x <= std::min(w - 1, cx + 2); ++x)
                if (dark(x, y))
                    return true;
        return false;
    };
    return darkNear(0, 0) && darkNear(w - 1, h - 1) && darkNear(0, h - 1) && darkNear(w - 1, 0) &&
           darkNear(w / 2, h / 2) && !dark(w / 2, 0) && !dark(0, h / 2);
}
