// The frame strips and sliders of the demo: knobs that turn frame by frame,
// buttons and LEDs lit and unlit, LED digits, meter steps, slider parts.

#include "demo/DemoImages.h"
#include "demo/DemoPaint.h"
#include "demo/DemoPixelFont.h"
#include "model/Catalogue.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

using namespace DemoPaint;

namespace {

const QColor Black(16, 16, 18);
const QColor RedLed(255, 48, 32);
const QColor GreenLed(60, 240, 80);
const QColor AmberLed(255, 170, 30);
const QColor YellowLed(250, 230, 60);

// Seven-segment digit: segments a (top), b, c, d (bottom), e, f, g (middle).
void Digit(QPainter &p, const QRect &r, int digit)
{
    static const char *const Segments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                             "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    p.fillRect(r, QColor(24, 6, 6));
    const int x = r.left(), y = r.top();
    const auto seg = [&](char s) -> QRect {
        switch (s) {
        case 'a':
            return QRect(x + 2, y + 1, 5, 2);
        case 'b':
            return QRect(x + 6, y + 2, 2, 6);
        case 'c':
            return QRect(x + 6, y + 8, 2, 6);
        case 'd':
            return QRect(x + 2, y + 13, 5, 2);
        case 'e':
            return QRect(x + 1, y + 8, 2, 6);
        case 'f':
            return QRect(x + 1, y + 2, 2, 6);
        default:
            return QRect(x + 2, y + 7, 5, 2);
        }
    };
    const QColor dim(62, 16, 12);
    for (char s : QByteArray("abcdefg"))
        p.fillRect(seg(s), dim);
    if (digit >= 0 && digit <= 9)
        for (const char *s = Segments[digit]; *s; ++s)
            p.fillRect(seg(*s), RedLed);
}

void Triangle(QPainter &p, const QPointF &a, const QPointF &b, const QPointF &c, const QColor &colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({a, b, c}));
    p.restore();
}

// A transport button with its symbol; `on` lights the symbol.
void TransportButton(QPainter &p, const QRect &r, int which, bool on)
{
    Button(p, r, QColor(70, 72, 78), on);
    const QRectF s = QRectF(r).adjusted(9, on ? 7 : 6, -9, on ? -6 : -7);
    const QColor c = on ? (which == 4 ? RedLed : GreenLed) : QColor(190, 190, 190);
    const double cx = s.center().x(), cy = s.center().y(), h = s.height() / 2;
    switch (which) {
    case 0:
        Triangle(p, {cx - h * 0.8, cy - h}, {cx - h * 0.8, cy + h}, {cx + h, cy}, c);
        break;
    case 1:
        p.fillRect(QRectF(cx - h, cy - h, 2 * h, 2 * h), c);
        break;
    case 2:
        Triangle(p, {cx, cy - h}, {cx, cy + h}, {cx - h * 1.2, cy}, c);
        Triangle(p, {cx + h * 1.2, cy - h}, {cx + h * 1.2, cy + h}, {cx, cy}, c);
        break;
    case 3:
        Triangle(p, {cx, cy - h}, {cx, cy + h}, {cx + h * 1.2, cy}, c);
        Triangle(p, {cx - h * 1.2, cy - h}, {cx - h * 1.2, cy + h}, {cx, cy}, c);
        break;
    default:
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QPointF(cx, cy), h, h);
        p.restore();
    }
}

// Meter segments from the bottom up (vertical) or left to right; `lit` of them on.
void Meter(QPainter &p, const QRect &r, int segments, int lit, bool vertical)
{
    p.fillRect(r, Black);
    const int length = vertical ? r.height() - 2 : r.width() - 2;
    for (int i = 0; i < segments; ++i) {
        const int a = i * length / segments, b = (i + 1) * length / segments - 1;
        const double pos = double(i) / std::max(1, segments - 1);
        const QColor colour = pos > 0.8 ? RedLed : pos > 0.55 ? YellowLed : GreenLed;
        const QRect seg = vertical ? QRect(r.left() + 2, r.bottom() - 1 - b, r.width() - 4, b - a)
                                   : QRect(r.left() + 1 + a, r.top() + 2, b - a, r.height() - 4);
        p.fillRect(seg, i < lit ? colour : Mix(colour, Qt::black, 0.8));
    }
}

// A toggle lever: up (frame 0) or down.
void Lever(QPainter &p, const QRect &r, bool down, bool horizontal = false)
{
    Well(p, r, QColor(30, 30, 32));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = QRectF(r).center();
    const double reach = (horizontal ? r.width() : r.height()) * 0.32;
    const QPointF tip =
        horizontal ? c + QPointF(down ? reach : -reach, 0) : c + QPointF(0, down ? reach : -reach);
    p.setPen(QPen(QColor(200, 200, 205), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, tip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 240));
    p.drawEllipse(tip, 2.2, 2.2);
    p.restore();
}

void LabelButton(QPainter &p, const QRect &r, const QString &text, bool lit, const QColor &litColour)
{
    Button(p, r, lit ? Mix(QColor(90, 90, 95), litColour, 0.8) : QColor(90, 90, 95), lit);
    DrawPixelTextCentred(p, r.center().x() + 1, r.center().y() - 2 + (lit ? 1 : 0), text,
                         lit ? QColor(20, 20, 20) : QColor(220, 220, 220));
}

void DrawFrame(int strip, QPainter &p, const QRect &r, int frame, int frames)
{
    const double t = frames > 1 ? double(frame) / (frames - 1) : 0.0;
    const bool on = frame > 0;
    switch (strip) {
    case 0: // LED digits, the last frame blank
        Digit(p, r, frame < 10 ? frame : -1);
        break;
    case 1: // Song-Pattern mode switch: the lit word names the mode, the slider sits on its side
        Well(p, r, QColor(28, 28, 30));
        DrawPixelTextCentred(p, r.center().x() + 1, r.top() + 2, on ? "SONG" : "PATT", GreenLed);
        Plate(p, QRect(on ? r.right() - 12 : r.left() + 2, r.top() + 9, 11, 8), QColor(210, 210, 215),
              QColor(140, 140, 150));
        break;
    case 2: // Effect mode switch
        Lever(p, r, on);
        break;
    case 3: // Parameter up
    case 4: // Parameter down
    {
        Button(p, r, QColor(95, 95, 100), on);
        const QRectF s = QRectF(r).adjusted(3, on ? 3 : 2, -3, on ? -2 : -3);
        const QColor c = on ? AmberLed : QColor(225, 225, 225);
        if (strip == 3)
            Triangle(p, {s.left(), s.bottom()}, {s.right(), s.bottom()}, {s.center().x(), s.top()}, c);
        else
            Triangle(p, {s.left(), s.top()}, {s.right(), s.top()}, {s.center().x(), s.bottom()}, c);
        break;
    }
    case 5: // Effect send on-off
        LabelButton(p, r, on ? "ON" : "OFF", on, AmberLed);
        break;
    case 6: // Sync LED: off, green, red
        Led(p, r, frame == 2 ? RedLed : GreenLed, on ? 1.0 : 0.0);
        break;
    case 7: // Effect unit on-off LED
        Led(p, r, RedLed, on ? 1.0 : 0.0);
        break;
    case 8: // Effect VU meter
        Meter(p, r, 3, frame, true);
        break;
    case 9: // 303 key (white)
        p.fillRect(r, QColor(30, 30, 30));
        Plate(p, r.adjusted(0, 0, -1, on ? 0 : -1), on ? QColor(200, 200, 190) : QColor(250, 250, 245),
              on ? QColor(170, 170, 160) : QColor(215, 215, 210));
        break;
    case 16: // 303 key (black)
        p.fillRect(r, QColor(10, 10, 10));
        Plate(p, r.adjusted(1, 0, -1, on ? 0 : -2), on ? QColor(60, 60, 60) : QColor(45, 45, 48),
              on ? QColor(30, 30, 30) : QColor(10, 10, 12));
        break;
    case 10: // 303 mode (white)
        Button(p, r, on ? QColor(215, 215, 205) : QColor(245, 245, 240), on);
        break;
    case 17: // 303 mode (black)
        Button(p, r, on ? QColor(35, 35, 35) : QColor(60, 60, 62), on);
        break;
    case 11: // 303 step button
        LabelButton(p, r, "STEP", on, AmberLed);
        break;
    case 12: { // 303 waveform switch
        Well(p, r, QColor(40, 40, 44));
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(on ? AmberLed : QColor(230, 230, 230), 1.3));
        const double l = r.left() + 3, rt = r.right() - 2, top = r.top() + 3, bottom = r.bottom() - 2;
        const double m = (l + rt) / 2;
        if (!on) { // sawtooth
            p.drawLine(QPointF(l, bottom), QPointF(m, top));
            p.drawLine(QPointF(m, top), QPointF(m, bottom));
            p.drawLine(QPointF(m, bottom), QPointF(rt, top));
        } else { // square
            p.drawPolyline(
                QPolygonF({{l, bottom}, {l, top}, {m, top}, {m, bottom}, {rt, bottom}, {rt, top}}));
        }
        p.restore();
        break;
    }
    case 13: // 303 LED (white)
        p.fillRect(r, QColor(235, 235, 230));
        Led(p, r, RedLed, on ? 1.0 : 0.0);
        break;
    case 14: // 303 LED (black)
        p.fillRect(r, QColor(20, 20, 20));
        Led(p, r, RedLed, on ? 1.0 : 0.0);
        break;
    case 15: // 303 knob movie
        p.fillRect(r, QColor(200, 200, 205));
        Knob(p, r, t, QColor(30, 30, 34), QColor(245, 245, 245));
        break;
    case 18: // 808 level knob movie
        p.fillRect(r, QColor(38, 38, 40));
        Knob(p, r, t, QColor(235, 120, 30), QColor(20, 20, 20));
        break;
    case 19: // 808 white knob movie
        p.fillRect(r, QColor(38, 38, 40));
        Knob(p, r, t, QColor(235, 232, 220), QColor(30, 30, 30));
        break;
    case 20: // 808 instrument switch
        Lever(p, r, on);
        break;
    case 21: // 808 note on LEDs
        SquareLed(p, r, RedLed, frame / 3.0);
        break;
    case 22: { // 808 instr. select knob
        p.fillRect(r, QColor(38, 38, 40));
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        const QPointF c = QRectF(r).center();
        p.setPen(QPen(QColor(220, 220, 220), 1));
        for (int i = 0; i < frames; ++i) { // a tick for every position, the current one orange
            const double a = (-135.0 + 270.0 * i / (frames - 1)) * 3.14159265358979 / 180.0;
            const QPointF d(std::sin(a), -std::cos(a));
            p.setPen(QPen(i == frame ? AmberLed : QColor(170, 170, 170), i == frame ? 1.6 : 0.8));
            p.drawLine(c + d * 11.5, c + d * 14.0);
        }
        p.restore();
        Knob(p, QRectF(c.x() - 10.5, c.y() - 10.5, 21, 21), t, QColor(60, 60, 64), AmberLed);
        break;
    }
    case 23: // Mix on-off LED
        SquareLed(p, r.adjusted(2, 2, -2, -2), GreenLed, on ? 1.0 : 0.0);
        break;
    case 24: { // Loop switch
        Button(p, r, QColor(70, 72, 78), on);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(on ? AmberLed : QColor(200, 200, 200), 1.4));
        p.setBrush(Qt::NoBrush);
        const QRectF loop = QRectF(r).adjusted(4, on ? 6 : 5, -4, on ? -5 : -6);
        p.drawArc(loop, 30 * 16, 300 * 16);
        p.restore();
        break;
    }
    case 25: // Multipurpose knob movie
        p.fillRect(r, QColor(55, 57, 62));
        Knob(p, r, t, QColor(150, 152, 160), QColor(255, 255, 255));
        break;
    case 26: { // Pattern number buttons: none lit, then button 1..8 lit
        p.fillRect(r, QColor(45, 47, 52));
        for (int i = 0; i < 8; ++i) {
            const QRect b(r.left() + 1 + (i % 4) * 17, r.top() + 1 + (i / 4) * 17, 16, 16);
            const bool lit = frame == i + 1;
            Button(p, b, lit ? QColor(255, 150, 40) : QColor(85, 85, 90), lit);
            DrawPixelTextCentred(p, b.center().x() + 1, b.top() + 5 + (lit ? 1 : 0), QString::number(i + 1),
                                 lit ? Black : QColor(230, 230, 230));
        }
        break;
    }
    case 27: { // Pattern bank buttons: bank A..D lit
        p.fillRect(r, QColor(45, 47, 52));
        for (int i = 0; i < 4; ++i) {
            const QRect b(r.left() + 1 + i * 17, r.top() + 2, 16, 22);
            const bool lit = frame == i;
            Button(p, b, lit ? QColor(90, 200, 255) : QColor(85, 85, 90), lit);
            DrawPixelTextCentred(p, b.center().x() + 1, b.top() + 8 + (lit ? 1 : 0), QString(QChar('A' + i)),
                                 lit ? Black : QColor(230, 230, 230));
        }
        break;
    }
    case 28: // Pattern on-off LED
        Led(p, r, GreenLed, on ? 1.0 : 0.0);
        break;
    case 29: // Master VU meter movie
        Meter(p, r, 10, frame, true);
        break;
    case 30: // Mix VU meter
        Meter(p, r, 3, frame, true);
        break;
    case 31:
    case 32:
    case 33:
    case 34:
    case 35: // Play, Stop, Rewind, Fast-forward, Record
        TransportButton(p, r, strip - 31, on);
        break;
    case 36: // 909 knob movie
        p.fillRect(r, QColor(200, 200, 196));
        Knob(p, r, t, QColor(70, 70, 74), QColor(250, 250, 250));
        break;
    case 37: // 909 note on LED
        SquareLed(p, r, RedLed, frame / 3.0);
        break;
    case 38: // Flam on-off
        LabelButton(p, r, "F", on, AmberLed);
        break;
    case 39: // Compressor VU
        Meter(p, r, 12, on ? 12 : 0, false);
        break;
    case 40: // Shuffle on-off
        LabelButton(p, r, "S", on, AmberLed);
        break;
    default:
        p.fillRect(r, Qt::magenta);
    }
}

} // namespace

QRect DemoFrameRect(int framesIndex, int frame)
{
    const TFramesRecord &r = FramesTable.at(size_t(framesIndex));
    if (r.vertical) {
        const int cut = (r.height + 1) / r.frames - 1;
        return QRect(0, frame * (cut + 1), r.width, std::min(r.frameHeight, r.height - frame * (cut + 1)));
    }
    const int cut = (r.width + 1) / r.frames - 1;
    return QRect(frame * (cut + 1), 0, cut, r.height);
}

QImage DrawDemoStrip(int framesIndex)
{
    const TFramesRecord &r = FramesTable.at(size_t(framesIndex));
    QImage image(r.width, r.height, QImage::Format_RGB32);
    image.fill(QColor(8, 8, 8)); // separators and what no frame covers
    QPainter p(&image);
    for (int frame = 0; frame < r.frames; ++frame) {
        const QRect rect = DemoFrameRect(framesIndex, frame);
        p.save();
        p.setClipRect(rect);
        DrawFrame(framesIndex, p, rect, frame, r.frames);
        p.restore();
    }
    return image;
}

QImage DrawDemoSlider(int sliderIndex)
{
    const TSliderRecord &r = SliderTable.at(size_t(sliderIndex));
    QImage image(r.width, r.height, QImage::Format_RGB32);
    QPainter p(&image);
    const QRect all(0, 0, r.width, r.height);
    if (r.thumb < 0) { // the fader cap: ridged, with a white index line
        Plate(p, all, QColor(225, 225, 230), QColor(120, 120, 128));
        for (int y = 2; y < r.height - 2; y += 2)
            p.fillRect(2, y, r.width - 4, 1, QColor(150, 150, 158));
        p.fillRect(1, r.height / 2, r.width - 2, 1, QColor(255, 255, 255));
        return image;
    }
    // A track: a dark slot with scale ticks on both sides, longer at the ends and the middle.
    p.fillRect(all, QColor(50, 52, 57));
    const int thumbHeight = SliderTable.at(size_t(r.thumb)).height;
    const int top = thumbHeight / 2, bottom = r.height - 1 - thumbHeight / 2;
    for (int i = 0; i <= 10; ++i) {
        const int y = top + (bottom - top) * i / 10;
        const int len = (i % 5 == 0) ? 4 : 2;
        p.fillRect(0, y, len, 1, QColor(200, 200, 200));
        p.fillRect(r.width - len, y, len, 1, QColor(200, 200, 200));
    }
    Well(p, QRect(r.width / 2 - 2, 2, 5, r.height - 4), QColor(12, 12, 14));
    return image;
}
