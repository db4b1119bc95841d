// modwright-render-icons FOLDER: writes the program's icon into FOLDER as an
// icon theme expects it (hicolor/NxN/apps/modwright.png at each installed size,
// hicolor/scalable/apps/modwright.svg), from the drawing the window icon uses.

#include "workbench/ProductIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Usage: modwright-render-icons FOLDER\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 22, 32, 48, 64, 128, 256}) {
        const QString folder = QString("hicolor/%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            PaintProductIcon(p, size);
        }
        if (!root.mkpath(folder) || !image.save(root.filePath(folder + "/modwright.png"), "PNG")) {
            std::fprintf(stderr, "Cannot write %s/modwright.png\n", qPrintable(root.filePath(folder)));
            return 1;
        }
    }
    QSaveFile svg(root.filePath("hicolor/scalable/apps/modwright.svg"));
    if (!root.mkpath("hicolor/scalable/apps") || !svg.open(QIODevice::WriteOnly) ||
        svg.write(ProductIconSvg()) < 0 || !svg.commit()) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
