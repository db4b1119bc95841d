#include "workbench/WorkbenchIcons.h"

#include "workbench/ProductIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cmath>
#include <functional>

namespace {

using TDraw = std::function<void(QPainter &)>;

// Renders a drawing made in a size x size coordinate system at one scale.
QPixmap Render(int size, qreal scale, const TDraw &draw)
{
    QPixmap pixmap(qRound(size * scale), qRound(size * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pixmap;
}

QColor Muted(const QColor &c, bool hot)
{
    if (hot)
        return c;
    // The resting toolbar is calmer than the one under the mouse.
    QColor m = c.toHsv();
    m.setHsv(m.hue(), m.saturation() * 55 / 100, qMin(255, m.value() * 92 / 100 + 12), m.alpha());
    return m;
}

const QColor Outline(60, 60, 70);

QPen OutlinePen(qreal width = 1.0)
{
    return QPen(Outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Folder(QPainter &p, bool hot, bool open)
{
    const QColor back = Muted(QColor(222, 170, 40), hot);
    const QColor front = Muted(QColor(250, 205, 80), hot);
    p.setPen(OutlinePen());
    QPainterPath tab;
    tab.moveTo(2.5, 6.5);
    tab.lineTo(8.5, 6.5);
    tab.lineTo(10.5, 8.5);
    tab.lineTo(20.5, 8.5);
    tab.lineTo(20.5, 19.5);
    tab.lineTo(2.5, 19.5);
    tab.closeSubpath();
    p.setBrush(back);
    p.drawPath(tab);
    QPainterPath flap;
    if (open) {
        flap.moveTo(5.5, 11.5);
        flap.lineTo(22.5, 11.5);
        flap.lineTo(19.5, 19.5);
        flap.lineTo(2.5, 19.5);
    } else {
        flap.moveTo(2.5, 10.5);
        flap.lineTo(20.5, 10.5);
        flap.lineTo(20.5, 19.5);
        flap.lineTo(2.5, 19.5);
    }
    flap.closeSubpath();
    p.setBrush(front);
    p.drawPath(flap);
}

void Sparkle(QPainter &p, QPointF c, qreal r, bool hot)
{
    QPainterPath star;
    for (int i = 0; i < 8; ++i) {
        const qreal radius = (i % 2 == 0) ? r : r * 0.38;
        const qreal angle = i * M_PI / 4 - M_PI / 2;
        const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(Muted(QColor(190, 120, 0), hot), 0.8));
    p.setBrush(Muted(QColor(255, 225, 40), hot));
    p.drawPath(star);
}

void Arrow(QPainter &p, QPointF tip, qreal length, bool up, const QColor &colour)
{
    const qreal d = up ? 1 : -1;
    QPainterPath a;
    a.moveTo(tip);
    a.lineTo(tip.x() + 5, tip.y() + 5 * d);
    a.lineTo(tip.x() + 2, tip.y() + 5 * d);
    a.lineTo(tip.x() + 2, tip.y() + length * d);
    a.lineTo(tip.x() - 2, tip.y() + length * d);
    a.lineTo(tip.x() - 2, tip.y() + 5 * d);
    a.lineTo(tip.x() - 5, tip.y() + 5 * d);
    a.closeSubpath();
    p.setPen(QPen(colour.darker(160), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(a);
}

// A little landscape: sky, sun and a green hill inside the rectangle.
void Landscape(QPainter &p, const QRectF &r, bool colour)
{
    p.save();
    p.setClipRect(r);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, colour ? QColor(110, 175, 240) : QColor(205, 205, 210));
    sky.setColorAt(1, colour ? QColor(200, 230, 255) : QColor(232, 232, 236));
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(colour ? QColor(255, 210, 40) : QColor(185, 185, 190));
    const qreal s = r.width() / 10.0;
    p.drawEllipse(QPointF(r.right() - 2.6 * s, r.top() + 2.6 * s), 1.5 * s, 1.5 * s);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left(), r.bottom() - 3 * s);
    hill.quadTo(r.left() + 3.5 * s, r.bottom() - 7 * s, r.left() + 6.5 * s, r.bottom() - 3.5 * s);
    hill.quadTo(r.left() + 8.5 * s, r.bottom() - 5 * s, r.right(), r.bottom() - 3 * s);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(colour ? QColor(70, 160, 60) : QColor(165, 165, 170));
    p.drawPath(hill);
    p.restore();
}

void Knob(QPainter &p, QPointF c, qreal r, const QColor &colour, qreal angleDeg)
{
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(1, colour.darker(140));
    p.setPen(QPen(colour.darker(220), r > 4 ? 1.0 : 0.7));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    const qreal a = qDegreesToRadians(angleDeg);
    p.setPen(QPen(QColor(250, 250, 250), r > 4 ? 1.6 : 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + std::cos(a) * r * 0.8, c.y() - std::sin(a) * r * 0.8));
}

void DrawTool(QPainter &p, TToolIcon which, bool hot)
{
    switch (which) {
    case tiNew: {
        QPainterPath page;
        page.moveTo(5.5, 2.5);
        page.lineTo(14.5, 2.5);
        page.lineTo(19.5, 7.5);
        page.lineTo(19.5, 21.5);
        page.lineTo(5.5, 21.5);
        page.closeSubpath();
        p.setPen(OutlinePen());
        p.setBrush(QColor(252, 252, 252));
        p.drawPath(page);
        QPainterPath corner;
        corner.moveTo(14.5, 2.5);
        corner.lineTo(14.5, 7.5);
        corner.lineTo(19.5, 7.5);
        p.setBrush(QColor(215, 215, 222));
        p.drawPath(corner);
        p.setPen(QPen(Muted(QColor(120, 150, 200), hot), 1.0));
        for (int y = 11; y <= 18; y += 3)
            p.drawLine(QPointF(8, y + 0.5), QPointF(17, y + 0.5));
        Sparkle(p, QPointF(17.5, 5), 5, hot);
        break;
    }
    case tiOpen:
        Folder(p, hot, true);
        Arrow(p, QPointF(16.5, 1.5), 8, true, Muted(QColor(60, 170, 70), hot));
        break;
    case tiSave: {
        const QColor body = Muted(QColor(60, 100, 190), hot);
        QPainterPath disk;
        disk.moveTo(3.5, 3.5);
        disk.lineTo(18.5, 3.5);
        disk.lineTo(20.5, 5.5);
        disk.lineTo(20.5, 20.5);
        disk.lineTo(3.5, 20.5);
        disk.closeSubpath();
        p.setPen(OutlinePen());
        p.setBrush(body);
        p.drawPath(disk);
        p.setBrush(QColor(245, 245, 245));
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(Muted(QColor(200, 60, 50), hot));
        p.drawRect(QRectF(14, 4.5, 2, 5));
        p.setBrush(QColor(215, 220, 230));
        p.drawRect(QRectF(6.5, 13.5, 11, 7));
        break;
    }
    case tiMakeMod: {
        // A parcel being packed: the mod file.
        const QColor box = Muted(QColor(200, 150, 90), hot);
        p.setPen(OutlinePen());
        p.setBrush(box);
        p.drawRect(QRectF(3.5, 10.5, 17, 11));
        QPainterPath lid;
        lid.moveTo(3.5, 10.5);
        lid.lineTo(6.5, 7.5);
        lid.lineTo(17.5, 7.5);
        lid.lineTo(20.5, 10.5);
        lid.closeSubpath();
        p.setBrush(box.lighter(115));
        p.drawPath(lid);
        p.setPen(QPen(Muted(QColor(150, 90, 40), hot), 1.0));
        p.drawLine(QPointF(12, 11), QPointF(12, 21));
        Arrow(p, QPointF(12, 14.5), 13.5, false, Muted(QColor(220, 60, 40), hot));
        break;
    }
    case tiReBirth: {
        // A small synthesizer with knobs and keys.
        QLinearGradient body(0, 5, 0, 20);
        body.setColorAt(0, Muted(QColor(150, 155, 165), hot));
        body.setColorAt(1, Muted(QColor(95, 100, 110), hot));
        p.setPen(OutlinePen());
        p.setBrush(body);
        p.drawRoundedRect(QRectF(1.5, 5.5, 21, 14), 1.5, 1.5);
        Knob(p, QPointF(6, 9.5), 2.2, Muted(QColor(210, 60, 40), hot), 120);
        Knob(p, QPointF(12, 9.5), 2.2, Muted(QColor(230, 170, 40), hot), 60);
        Knob(p, QPointF(18, 9.5), 2.2, Muted(QColor(210, 60, 40), hot), 200);
        p.setPen(QPen(Outline, 0.8));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(3.5, 13.5, 17, 5));
        for (int i = 1; i < 6; ++i)
            p.drawLine(QPointF(3.5 + i * 17.0 / 6, 13.5), QPointF(3.5 + i * 17.0 / 6, 18.5));
        p.setBrush(QColor(40, 40, 45));
        p.setPen(Qt::NoPen);
        for (int i : {1, 2, 4, 5})
            p.drawRect(QRectF(3.5 + i * 17.0 / 6 - 0.9, 13.5, 1.8, 3));
        break;
    }
    case tiDirUp:
        Folder(p, hot, false);
        Arrow(p, QPointF(12, 1.5), 13, true, Muted(QColor(60, 170, 70), hot));
        break;
    case tiNewDir:
        Folder(p, hot, false);
        Sparkle(p, QPointF(17.5, 5.5), 5.5, hot);
        break;
    case tiRefresh: {
        const QColor green = Muted(QColor(50, 160, 70), hot);
        p.setBrush(Qt::NoBrush);
        for (int half = 0; half < 2; ++half) {
            p.setPen(QPen(green.darker(130), 3.6, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(QRectF(4.5, 4.5, 15, 15), (half * 180 + 20) * 16, 130 * 16);
            p.setPen(QPen(green, 2.0, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(QRectF(4.5, 4.5, 15, 15), (half * 180 + 20) * 16, 130 * 16);
            // Arrow head at the end of each arc.
            const qreal a = qDegreesToRadians(half * 180.0 + 150);
            const QPointF end(12 + 7.5 * std::cos(a), 12 - 7.5 * std::sin(a));
            const QPointF dir(-std::sin(a), -std::cos(a)); // along the arc, counter-clockwise
            const QPointF normal(std::cos(a), -std::sin(a));
            QPainterPath head;
            head.moveTo(end + dir * 4.0);
            head.lineTo(end + normal * 3.6);
            head.lineTo(end - normal * 3.6);
            head.closeSubpath();
            p.setPen(QPen(green.darker(150), 0.8));
            p.setBrush(green);
            p.drawPath(head);
            p.setBrush(Qt::NoBrush);
        }
        break;
    }
    case tiImageViewer: {
        p.setPen(OutlinePen());
        p.setBrush(Muted(QColor(150, 105, 60), hot));
        p.drawRect(QRectF(2.5, 3.5, 19, 16));
        Landscape(p, QRectF(5, 6, 14, 11), true);
        if (!hot) {
            // Tone the picture down with the rest of the resting toolbar.
            p.fillRect(QRectF(5, 6, 14, 11), QColor(255, 255, 255, 70));
        }
        p.setPen(OutlinePen());
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 5.5, 15, 12));
        break;
    }
    case tiGlance: {
        // An eye.
        QPainterPath eye;
        eye.moveTo(1.5, 12);
        eye.quadTo(12, 1.5, 22.5, 12);
        eye.quadTo(12, 22.5, 1.5, 12);
        eye.closeSubpath();
        p.setPen(OutlinePen());
        p.setBrush(QColor(252, 252, 252));
        p.drawPath(eye);
        QRadialGradient iris(QPointF(11, 11), 5.5);
        iris.setColorAt(0, Muted(QColor(90, 170, 230), hot));
        iris.setColorAt(1, Muted(QColor(30, 90, 160), hot));
        p.setBrush(iris);
        p.setPen(QPen(Outline, 0.8));
        p.drawEllipse(QPointF(12, 12), 5, 5);
        p.setBrush(QColor(20, 20, 25));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(12, 12), 2.2, 2.2);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(QPointF(10.3, 10.3), 1.1, 1.1);
        break;
    }
    }
}

void DrawImageListIcon(QPainter &p, bool assigned)
{
    p.setPen(QPen(assigned ? Outline : QColor(150, 150, 155), 1.0));
    p.setBrush(assigned ? QColor(250, 250, 250) : QColor(245, 245, 245));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    if (assigned) {
        Landscape(p, QRectF(3, 4, 10, 8), true);
    } else {
        // An empty frame with a faint outline of what could be there.
        Landscape(p, QRectF(3, 4, 10, 8), false);
        p.fillRect(QRectF(3, 4, 10, 8), QColor(255, 255, 255, 110));
    }
}

void DrawDrumListIcon(QPainter &p, bool assigned)
{
    const QColor shell = assigned ? QColor(200, 50, 45) : QColor(200, 200, 205);
    const QColor edge = assigned ? QColor(90, 20, 20) : QColor(150, 150, 155);
    p.setPen(QPen(edge, 1.0));
    // Body: a cylinder seen from a little above.
    QPainterPath body;
    body.moveTo(2.5, 6);
    body.lineTo(2.5, 12);
    body.arcTo(QRectF(2.5, 9.5, 11, 5), 180, 180);
    body.lineTo(13.5, 6);
    body.closeSubpath();
    QLinearGradient g(2.5, 0, 13.5, 0);
    g.setColorAt(0, shell.darker(115));
    g.setColorAt(0.4, shell.lighter(125));
    g.setColorAt(1, shell.darker(135));
    p.setBrush(g);
    p.drawPath(body);
    if (assigned) {
        p.setPen(QPen(QColor(235, 200, 90), 0.9));
        p.drawLine(QPointF(4, 8), QPointF(6.5, 13));
        p.drawLine(QPointF(9.5, 13), QPointF(12, 8));
    }
    p.setPen(QPen(edge, 1.0));
    p.setBrush(assigned ? QColor(248, 244, 230) : QColor(240, 240, 242));
    p.drawEllipse(QRectF(2.5, 3.5, 11, 5));
    if (assigned) {
        p.setPen(QPen(QColor(110, 70, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 5.5), QPointF(14.5, 1));
    }
}

QIcon TwoScales(int size, const TDraw &draw, QIcon::Mode mode = QIcon::Normal, QIcon icon = QIcon())
{
    for (qreal scale : {1.0, 2.0})
        icon.addPixmap(Render(size, scale, draw), mode);
    return icon;
}

} // namespace

namespace WorkbenchIcons {

QIcon ToolIcon(TToolIcon which)
{
    QIcon icon = TwoScales(24, [which](QPainter &p) { DrawTool(p, which, false); });
    return TwoScales(
        24, [which](QPainter &p) { DrawTool(p, which, true); }, QIcon::Active, icon);
}

QIcon ListImage(int index)
{
    switch (index) {
    case liDrumUnassigned:
        return TwoScales(16, [](QPainter &p) { DrawDrumListIcon(p, false); });
    case liDrumAssigned:
        return TwoScales(16, [](QPainter &p) { DrawDrumListIcon(p, true); });
    case liImageUnassigned:
        return TwoScales(16, [](QPainter &p) { DrawImageListIcon(p, false); });
    case liImageAssigned:
        return TwoScales(16, [](QPainter &p) { DrawImageListIcon(p, true); });
    default:
        return QIcon();
    }
}

QIcon ProductIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        for (qreal scale : {1.0, 2.0})
            icon.addPixmap(Render(size, scale, [size](QPainter &p) { PaintProductIcon(p, size); }));
    return icon;
}

QPixmap SplashPicture(qreal devicePixelRatio)
{
    const int w = 420, h = 270;
    QPixmap pixmap(qRound(w * devicePixelRatio), qRound(h * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Night-blue ground.
    QLinearGradient ground(0, 0, 0, h);
    ground.setColorAt(0, QColor(28, 34, 58));
    ground.setColorAt(1, QColor(10, 12, 24));
    p.fillRect(QRect(0, 0, w, h), ground);
    // A bass-line machine panel, tilted a little for life.
    p.save();
    p.translate(210, 94);
    p.rotate(-5);
    QLinearGradient metal(0, -55, 0, 55);
    metal.setColorAt(0, QColor(200, 203, 210));
    metal.setColorAt(1, QColor(135, 138, 148));
    p.setPen(QPen(QColor(40, 42, 50), 1.5));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(-150, -55, 300, 110), 6, 6);
    const QColor knobColours[] = {QColor(210, 60, 40), QColor(230, 170, 40), QColor(70, 120, 200)};
    for (int i = 0; i < 6; ++i)
        Knob(p, QPointF(-120 + i * 48, -28), 11, knobColours[i % 3], 30 + i * 37);
    for (int i = 0; i < 16; ++i) {
        const bool lit = (i % 4 == 0) || i == 6 || i == 11;
        const QRectF step(-138 + i * 17.4, 8, 13, 22);
        p.setPen(QPen(QColor(50, 50, 55), 1.0));
        p.setBrush(lit ? QColor(255, 90, 50) : QColor(235, 235, 225));
        p.drawRoundedRect(step, 2, 2);
        if (lit) {
            QRadialGradient glow(step.center(), 14);
            glow.setColorAt(0, QColor(255, 120, 60, 120));
            glow.setColorAt(1, QColor(255, 120, 60, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(step.center(), 14, 14);
        }
    }
    p.restore();
    // Title, with a soft shadow; the greeting or the description goes below.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    const QRectF titleRect(20, 158, w - 40, 44);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(titleRect.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Modwright"));
    p.setPen(QColor(255, 160, 60));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Modwright"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(220, 225, 240));
    p.drawText(QRectF(20, 166, w - 40, 36), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("for ReBirth 2"));
    p.setPen(QPen(QColor(255, 160, 60, 90), 1));
    p.drawLine(QPointF(20, 205.5), QPointF(w - 20, 205.5));
    return pixmap;
}

} // namespace WorkbenchIcons
