#include "demo/DemoPaint.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace DemoPaint {

QColor Mix(const QColor &a, const QColor &b, double t)
{
    const auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

void Plate(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom, bool raised)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
    const QColor light = Mix(top, Qt::white, 0.35), dark = Mix(bottom, Qt::black, 0.45);
    p.fillRect(r.left(), r.top(), r.width(), 1, raised ? light : dark);
    p.fillRect(r.left(), r.top(), 1, r.height(), raised ? light : dark);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, raised ? dark : light);
    p.fillRect(r.right(), r.top(), 1, r.height(), raised ? dark : light);
}

void Well(QPainter &p, const QRect &r, const QColor &fill)
{
    p.fillRect(r, fill);
    p.fillRect(r.left(), r.top(), r.width(), 1, Mix(fill, Qt::black, 0.6));
    p.fillRect(r.left(), r.top(), 1, r.height(), Mix(fill, Qt::black, 0.6));
    p.fillRect(r.left(), r.bottom(), r.width(), 1, Mix(fill, Qt::white, 0.25));
    p.fillRect(r.right(), r.top(), 1, r.height(), Mix(fill, Qt::white, 0.25));
}

void Knob(QPainter &p, const QRectF &r, double t, const QColor &body, const QColor &pointer)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = r.center();
    const double radius = std::min(r.width(), r.height()) / 2.0 - 0.5;
    // Shadow ring, then the cap lit from the top left.
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(body, Qt::black, 0.6));
    p.drawEllipse(c, radius, radius);
    QRadialGradient g(c - QPointF(radius * 0.35, radius * 0.35), radius * 1.4);
    g.setColorAt(0, Mix(body, Qt::white, 0.45));
    g.setColorAt(0.6, body);
    g.setColorAt(1, Mix(body, Qt::black, 0.35));
    p.setBrush(g);
    p.drawEllipse(c, radius - 1, radius - 1);
    // The pointer: 7 o'clock at 0, 5 o'clock at 1, through 12 o'clock.
    const double angle = (-135.0 + 270.0 * t) * std::numbers::pi / 180.0;
    const QPointF dir(std::sin(angle), -std::cos(angle));
    QPen pen(pointer, std::max(1.2, radius / 4.5), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(c + dir * (radius * 0.25), c + dir * (radius - 1.5));
    p.restore();
}

void Led(QPainter &p, const QRectF &r, const QColor &lit, double level)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = r.center();
    const double radius = std::min(r.width(), r.height()) / 2.0 - 0.5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(c, radius, radius);
    const QColor off = Mix(lit, Qt::black, 0.75);
    const QColor face = Mix(off, lit, level);
    QRadialGradient g(c - QPointF(radius * 0.3, radius * 0.3), radius * 1.2);
    g.setColorAt(0, Mix(face, Qt::white, 0.2 + 0.5 * level));
    g.setColorAt(1, face);
    p.setBrush(g);
    p.drawEllipse(c, radius - 1, radius - 1);
    p.restore();
}

void SquareLed(QPainter &p, const QRect &r, const QColor &lit, double level)
{
    p.fillRect(r, QColor(18, 18, 18));
    const QRect face = r.adjusted(1, 1, -1, -1);
    const QColor off = Mix(lit, Qt::black, 0.75);
    const QColor c = Mix(off, lit, level);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, Mix(c, Qt::white, 0.15 + 0.35 * level));
    g.setColorAt(1, c);
    p.fillRect(face, g);
}

void Button(QPainter &p, const QRect &r, const QColor &face, bool pressed)
{
    p.fillRect(r, QColor(15, 15, 15));
    const QRect cap = pressed ? r.adjusted(1, 2, -1, -1) : r.adjusted(1, 1, -1, -2);
    const QColor c = pressed ? Mix(face, Qt::black, 0.25) : face;
    Plate(p, cap, Mix(c, Qt::white, 0.2), Mix(c, Qt::black, 0.15), !pressed);
}

void Screw(QPainter &p, const QPointF &centre, double radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.5);
    g.setColorAt(0, QColor(230, 230, 230));
    g.setColorAt(1, QColor(110, 110, 110));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.drawLine(centre + QPointF(-radius * 0.6, radius * 0.3), centre + QPointF(radius * 0.6, -radius * 0.3));
    p.restore();
}

void Grain(QImage &image, const QRect &r, const QColor &base, int amount, uint32_t seed)
{
    uint32_t s = seed ? seed : 1;
    const QRect area = r & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            s ^= s << 13;
            s ^= s >> 17;
            s ^= s << 5;
            const int d = int(s % uint32_t(2 * amount + 1)) - amount;
            line[x] = qRgb(std::clamp(base.red() + d, 0, 255), std::clamp(base.green() + d, 0, 255),
                           std::clamp(base.blue() + d, 0, 255));
        }
    }
}

} // namespace DemoPaint
