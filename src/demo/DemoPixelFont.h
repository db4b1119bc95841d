#pragma once

#include <QColor>
#include <QString>

class QPainter;

// A 3 x 5 pixel font of our own for the demo's labels: capitals, digits and a
// little punctuation (small letters print as capitals). Drawn with filled
// rectangles, so it needs no font files and no GUI application object, and it
// gives the same pixels on every machine. Each glyph advances 4 x scale pixels.
int PixelTextWidth(const QString &text, int scale = 1);
void DrawPixelText(QPainter &painter, int x, int y, const QString &text, const QColor &colour, int scale = 1);
// Centred on cx (horizontally), top at y.
void DrawPixelTextCentred(QPainter &painter, int cx, int y, const QString &text, const QColor &colour,
                          int scale = 1);
