#pragma once

#include <QColor>
#include <QRect>
#include <QRectF>
#include <cstdint>

class QImage;
class QPainter;

// Drawing pieces the demo's panels and strips share: bevelled plates, knobs,
// LEDs, buttons and screws, all plain QPainter work on an image.
namespace DemoPaint {

QColor Mix(const QColor &a, const QColor &b, double t);
// A plate with a vertical gradient and a one-pixel light/dark edge.
void Plate(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom, bool raised = true);
// A sunken window (LCD, slot) with a dark fill.
void Well(QPainter &p, const QRect &r, const QColor &fill);
// A round knob turned to t (0 = fully left, 7 o'clock; 1 = fully right, 5 o'clock).
void Knob(QPainter &p, const QRectF &r, double t, const QColor &body, const QColor &pointer);
// A round LED at brightness 0 (off) to 1 (fully lit).
void Led(QPainter &p, const QRectF &r, const QColor &lit, double level);
// A square LED or lit button face.
void SquareLed(QPainter &p, const QRect &r, const QColor &lit, double level);
// A push button: pressed ones sit one pixel lower and darker.
void Button(QPainter &p, const QRect &r, const QColor &face, bool pressed);
void Screw(QPainter &p, const QPointF &centre, double radius);
// Fills a rectangle of an RGB32 image with fine deterministic grain around
// `base` (call it while no painter is active on the image).
void Grain(QImage &image, const QRect &r, const QColor &base, int amount, uint32_t seed);

} // namespace DemoPaint
