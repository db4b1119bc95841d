#include "workbench/ProductIcon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The drawing, in the 32 x 32 design square.
struct TIconShapes {
    // A rounded tile with a top-to-bottom gradient and a dark outline.
    double tileX = 1.5, tileY = 1.5, tileSize = 29, tileRadius = 6;
    QColor tileTop{255, 140, 40}, tileBottom{190, 40, 30}, tileOutline{110, 25, 20};
    double tileOutlineWidth = 1.0;
    // A bold "M" made of two knob pointers and a keyboard-white stroke.
    QPointF m[5] = {{7, 24}, {7, 9}, {16, 18}, {25, 9}, {25, 24}};
    QColor mColour{255, 255, 255};
    double mWidth = 3.6;
    // The dot under the "M".
    QPointF dot{16, 26};
    double dotRadius = 2.2;
    QColor dotColour{40, 40, 45};
};
const TIconShapes Shapes;

QByteArray Hex(const QColor &c)
{
    return c.name(QColor::HexRgb).toLatin1();
}

QByteArray Num(double v)
{
    return QByteArray::number(v, 'g', 6);
}

} // namespace

void PaintProductIcon(QPainter &p, double size)
{
    const TIconShapes &s = Shapes;
    p.save();
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, s.tileTop);
    g.setColorAt(1, s.tileBottom);
    p.setPen(QPen(s.tileOutline, s.tileOutlineWidth));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(s.tileX, s.tileY, s.tileSize, s.tileSize), s.tileRadius, s.tileRadius);
    QPainterPath m;
    m.moveTo(s.m[0]);
    for (int i = 1; i < 5; ++i)
        m.lineTo(s.m[i]);
    p.setPen(QPen(s.mColour, s.mWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(m);
    p.setPen(Qt::NoPen);
    p.setBrush(s.dotColour);
    p.drawEllipse(s.dot, s.dotRadius, s.dotRadius);
    p.restore();
}

QByteArray ProductIconSvg()
{
    const TIconShapes &s = Shapes;
    QByteArray points;
    for (const QPointF &pt : s.m)
        points += (points.isEmpty() ? "" : " ") + Num(pt.x()) + "," + Num(pt.y());
    // Qt's gradient runs over the whole square (0 to 32), not over the tile alone.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n"
           "  <defs>\n"
           "    <linearGradient id=\"tile\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" x2=\"0\" "
           "y2=\"32\">\n"
           "      <stop offset=\"0\" stop-color=\"" +
           Hex(s.tileTop) +
           "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" +
           Hex(s.tileBottom) +
           "\"/>\n"
           "    </linearGradient>\n"
           "  </defs>\n"
           "  <rect x=\"" +
           Num(s.tileX) + "\" y=\"" + Num(s.tileY) + "\" width=\"" + Num(s.tileSize) + "\" height=\"" +
           Num(s.tileSize) + "\" rx=\"" + Num(s.tileRadius) + "\" fill=\"url(#tile)\" stroke=\"" +
           Hex(s.tileOutline) + "\" stroke-width=\"" + Num(s.tileOutlineWidth) +
           "\"/>\n"
           "  <polyline points=\"" +
           points + "\" fill=\"none\" stroke=\"" + Hex(s.mColour) + "\" stroke-width=\"" + Num(s.mWidth) +
           "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
           "  <circle cx=\"" +
           Num(s.dot.x()) + "\" cy=\"" + Num(s.dot.y()) + "\" r=\"" + Num(s.dotRadius) + "\" fill=\"" +
           Hex(s.dotColour) +
           "\"/>\n"
           "</svg>\n";
}
