#pragma once

#include <QByteArray>

class QPainter;

// The program's icon as one drawing, kept as data so that the window icon (painted
// at run time), the installed PNG icons (rendered at build time) and the scalable SVG
// icon all come from the same shapes. Drawn in a 32 x 32 design square.

// Paints the icon into a size x size square at the painter's origin.
void PaintProductIcon(QPainter &p, double size);
// The same drawing as an SVG document (the scalable icon of the icon theme).
QByteArray ProductIconSvg();
