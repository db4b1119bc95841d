#include "preview/GlanceSplash.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

// A knob seen from above, its pointer at Angle degrees (0 = up, clockwise).
void Knob(QPainter &p, QPointF centre, double radius, double angle)
{
    QRadialGradient body(centre - QPointF(radius / 3, radius / 3), radius * 1.6);
    body.setColorAt(0, QColor(120, 126, 140));
    body.setColorAt(1, QColor(28, 30, 38));
    p.setPen(QPen(QColor(10, 10, 14), 1.2));
    p.setBrush(body);
    p.drawEllipse(centre, radius, radius);
    const double a = (angle - 90) * M_PI / 180;
    p.setPen(QPen(QColor(240, 200, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.25,
               centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.85);
}

} // namespace

QImage GlanceSplashPicture()
{
    QImage image(GlanceSplashWidth, GlanceSplashHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient back(0, 0, 0, GlanceSplashHeight);
    back.setColorAt(0, QColor(46, 50, 66));
    back.setColorAt(0.55, QColor(24, 26, 36));
    back.setColorAt(1, QColor(12, 12, 18));
    p.fillRect(image.rect(), back);

    // A strip of step buttons along the bottom edge, a lit one among them.
    for (int i = 0; i < 16; ++i) {
        const QRectF step(12 + i * 20.5, 150, 14, 18);
        const QColor colour = i == 4 ? QColor(235, 90, 50) : QColor(70 + (i % 4 == 0) * 40, 74, 86);
        p.setPen(QPen(QColor(8, 8, 10), 1));
        p.setBrush(colour);
        p.drawRoundedRect(step, 2, 2);
    }
    // A row of knobs at different turns.
    const double angles[] = {-120, -60, 0, 45, 130};
    for (int i = 0; i < 5; ++i)
        Knob(p, QPointF(34 + i * 40, 104), 13, angles[i]);

    // The title with a soft glow.
    QFont title("Sans Serif");
    title.setPixelSize(40);
    title.setBold(true);
    title.setItalic(true);
    QPainterPath text;
    text.addText(16, 56, title, "Glance");
    p.setPen(QPen(QColor(255, 190, 60, 80), 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    p.setPen(Qt::NoPen);
    QLinearGradient gold(0, 20, 0, 60);
    gold.setColorAt(0, QColor(255, 236, 150));
    gold.setColorAt(1, QColor(230, 150, 30));
    p.setBrush(gold);
    p.drawPath(text);
    return image;
}
